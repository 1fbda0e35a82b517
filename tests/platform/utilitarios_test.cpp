#include "platform/utilitarios.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "base/erro.h"
#include "platform/posix/utilitarios_posix.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"
#include "support/servidor_local.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using teste::LeArquivo;

class UtilitariosTest : public ::testing::Test {
 protected:
  UtilitariosTest() {
    platform::HttpOptions opcoes;
    opcoes.connectTimeoutSeconds = 5;
    opcoes.stallTimeoutSeconds = 1;
    opcoes.maxBodyBytes = 1 << 20;
    utilitarios_ = platform::CriaUtilitariosPosix(opcoes);

    auto& http = servidor_.Http();
    http.Get("/descritor", [](const httplib::Request&, httplib::Response& resposta) {
      resposta.set_content("[sequenciaAtualizacao]\r\nitens=0\r\n", "text/plain");
    });
    http.Get("/vazio", [](const httplib::Request&, httplib::Response& resposta) {
      resposta.status = 200;
    });
    http.Get("/ausente", [](const httplib::Request&, httplib::Response& resposta) {
      resposta.status = 404;
      resposta.set_content("sem arquivo", "text/plain");
    });
    http.Get("/grande", [](const httplib::Request&, httplib::Response& resposta) {
      resposta.set_content(std::string((1 << 20) + 1, 'g'), "application/octet-stream");
    });
    http.Get("/sem-tamanho", [](const httplib::Request&, httplib::Response& resposta) {
      // Chunked: no length announced, so the cap must hold while receiving.
      resposta.set_chunked_content_provider("application/octet-stream",
                                            [](size_t, httplib::DataSink& sink) {
                                              const std::string bloco(64 << 10, 'c');
                                              return sink.write(bloco.data(), bloco.size());
                                            });
    });
    http.Get("/parado", [this](const httplib::Request&, httplib::Response& resposta) {
      resposta.set_chunked_content_provider("text/plain", [this](size_t, httplib::DataSink& sink) {
        sink.write("x", 1);
        // Headers and one byte, then nothing until the test ends.
        while (!encerrando_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return false;
      });
    });
    http.Get("/cliente", [](const httplib::Request& pedido, httplib::Response& resposta) {
      resposta.set_content(pedido.get_header_value(kCabecalhoInformacaoCliente), "text/plain");
    });
    servidor_.Inicia();
  }
  ~UtilitariosTest() override { encerrando_ = true; }

  int32_t NumeroDoErro(const std::string& url) {
    return PassoProtegido([&] { utilitarios_->BaixaUrl(url); }).numero;
  }

  std::atomic<bool> encerrando_ = false;
  teste::ServidorLocal servidor_;
  teste::PastaTemporaria pasta_;
  std::unique_ptr<Utilitarios> utilitarios_;
};

TEST_F(UtilitariosTest, DownloadGivesStatusTextAndBody) {
  const RespostaHttp resposta = utilitarios_->BaixaUrl(servidor_.Url("/descritor?versaoAplicativo=1"));
  EXPECT_EQ(resposta.status, 200);
  EXPECT_EQ(resposta.textoStatus, "OK");
  EXPECT_EQ(resposta.corpo, "[sequenciaAtualizacao]\r\nitens=0\r\n");
  EXPECT_EQ(servidor_.Pedidos(), (std::vector<std::string>{"/descritor?versaoAplicativo=1"}));
}

TEST_F(UtilitariosTest, BlanksAndAccentsAreSentEncodedAndNothingElseIs) {
  const std::string url = servidor_.Publica("Relatório Mensal.dll", "dll");
  const std::string destino = pasta_.Em("baixado");
  EXPECT_EQ(utilitarios_->BaixaUrlParaArquivo(url, destino).status, 200);
  utilitarios_->BaixaUrl(servidor_.Url("/descritor?conta=Loja & Cia&cnpj=1%2"));
  EXPECT_EQ(servidor_.Pedidos(), (std::vector<std::string>{"/arquivos/Relatório Mensal.dll",
                                                           "/descritor?conta=Loja%20&%20Cia&cnpj=1%2"}));
  EXPECT_EQ(LeArquivo(destino), "dll");
}

TEST_F(UtilitariosTest, NotFoundIsAnAnswerWithItsReasonPhrase) {
  const RespostaHttp resposta = utilitarios_->BaixaUrl(servidor_.Url("/ausente"));
  EXPECT_EQ(resposta.status, 404);
  EXPECT_EQ(resposta.textoStatus, "Not Found");
  EXPECT_EQ(resposta.corpo, "sem arquivo");
}

TEST_F(UtilitariosTest, ClientFragmentTravelsAsOneHeaderLine) {
  utilitarios_->InformacaoCliente("<atualizador version='6.1' desc_service_pack='Ação\r\nX' />");
  const RespostaHttp resposta = utilitarios_->BaixaUrl(servidor_.Url("/cliente"));
  EXPECT_EQ(resposta.corpo, "<atualizador version='6.1' desc_service_pack='A\xE7\xE3o  X' />");
}

TEST_F(UtilitariosTest, TransportFailuresRaiseTheLibrarysCodeAndMessage) {
  try {
    utilitarios_->BaixaUrl("http://127.0.0.1:" + std::to_string(teste::PortaFechada()) + "/x");
    FAIL();
  } catch (const Erro& erro) {
    EXPECT_EQ(erro.Numero(), 7);  // could not connect
    EXPECT_EQ(erro.Origem(), "BaixaUrl");
    EXPECT_NE(erro.Descricao().find("127.0.0.1"), std::string::npos) << erro.Descricao();
  }
  EXPECT_EQ(NumeroDoErro("nada://x"), 1);  // unsupported protocol
}

TEST_F(UtilitariosTest, StalledAnswerEndsWithTheStallTimeout) {
  EXPECT_EQ(NumeroDoErro(servidor_.Url("/parado")), 28);  // operation timed out
}

TEST_F(UtilitariosTest, BodyBeyondTheCapIsRefused) {
  for (const char* caminho : {"/grande", "/sem-tamanho"}) {
    try {
      utilitarios_->BaixaUrl(servidor_.Url(caminho));
      FAIL() << caminho;
    } catch (const Erro& erro) {
      EXPECT_EQ(erro.Numero(), 63);
      EXPECT_EQ(erro.Descricao(), "Resposta maior que o limite de 1048576 bytes");
    }
  }
}

TEST_F(UtilitariosTest, DownloadToFileStreamsAndReplacesOnlyOnSuccess) {
  const std::string destino = pasta_.Em("app.dll-2.31-1");
  teste::EscreveArquivo(destino, std::string(4096, 'v'));
  // Larger than the memory cap: the file path does not hold the body in memory.
  const RespostaHttp grande = utilitarios_->BaixaUrlParaArquivo(servidor_.Url("/grande"), destino);
  EXPECT_EQ(grande.status, 200);
  EXPECT_TRUE(grande.corpo.empty());
  EXPECT_EQ(LeArquivo(destino), std::string((1 << 20) + 1, 'g'));

  utilitarios_->BaixaUrlParaArquivo(servidor_.Url("/vazio"), destino);
  EXPECT_TRUE(fs::exists(destino));
  EXPECT_EQ(fs::file_size(destino), 0u);

  fs::remove(destino);
  EXPECT_EQ(utilitarios_->BaixaUrlParaArquivo(servidor_.Url("/ausente"), destino).status, 404);
  EXPECT_EQ(PassoProtegido([&] {
              utilitarios_->BaixaUrlParaArquivo(servidor_.Url("/parado"), destino);
            }).numero,
            28);
  EXPECT_TRUE(fs::is_empty(pasta_.Caminho()));
}

TEST_F(UtilitariosTest, HashIsLowerCaseSha256) {
  teste::EscreveArquivo(pasta_.Em("abc"), "abc");
  teste::EscreveArquivo(pasta_.Em("vazio"), "");
  EXPECT_EQ(utilitarios_->CalculaHash(pasta_.Texto() + "\\ABC"),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(utilitarios_->CalculaHash(pasta_.Em("vazio")),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(PassoProtegido([&] { utilitarios_->CalculaHash(pasta_.Em("nada")); }).numero, 53);
}

TEST_F(UtilitariosTest, TemporaryFileIsCreatedInTheFolder) {
  const std::string nome = utilitarios_->CriaArquivoTemporario(pasta_.Texto(), "teste", 0);
  EXPECT_EQ(fs::path(nome).parent_path(), pasta_.Caminho());
  EXPECT_TRUE(fs::path(nome).filename().string().starts_with("teste"));
  EXPECT_TRUE(fs::exists(nome));
  EXPECT_EQ(
      PassoProtegido([&] { utilitarios_->CriaArquivoTemporario(pasta_.Em("nada"), "teste", 0); })
          .numero,
      76);
}

TEST_F(UtilitariosTest, ExclusiveAccessFailsWhileAnotherProcessHoldsTheFile) {
  teste::EscreveArquivo(pasta_.Em("pelirana.exe"), "exe");
  EXPECT_TRUE(utilitarios_->VerificaAcessoExclusivo(pasta_.Em("pelirana.exe")).valido);
  teste::ArquivoEmUso emUso(pasta_.Em("pelirana.exe"));
  const Verificacao emUsoAgora = utilitarios_->VerificaAcessoExclusivo(pasta_.Em("pelirana.exe"));
  EXPECT_FALSE(emUsoAgora.valido);
  EXPECT_EQ(emUsoAgora.detalhe, 32);
}

}  // namespace
}  // namespace tarvik
