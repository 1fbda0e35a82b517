#include "platform/utilitarios.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "base/erro.h"
#include "platform/utilitarios_da_plataforma.h"
#include "support/pasta_temporaria.h"
#include "support/plataforma_teste.h"
#include "support/servidor_local.h"

namespace tarvik {
namespace {

// The limits of the transfers against a local server. Requests, statuses,
// bodies and transport failures also run through the tests of the checks and
// the download task, which use this component.
class UtilitariosTest : public ::testing::Test {
 protected:
  UtilitariosTest() {
    platform::HttpOptions opcoes;
    opcoes.connectTimeoutSeconds = 5;
    opcoes.stallTimeoutSeconds = 1;
    opcoes.maxBodyBytes = 1 << 20;
    utilitarios_ = CriaUtilitariosDaPlataforma(opcoes);

    auto& http = servidor_.Http();
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
    servidor_.Inicia();
  }
  ~UtilitariosTest() override { encerrando_ = true; }

  std::atomic<bool> encerrando_ = false;
  teste::ServidorLocal servidor_;
  teste::PastaTemporaria pasta_;
  std::unique_ptr<Utilitarios> utilitarios_;
};

TEST_F(UtilitariosTest, BodyBeyondTheCapAndStalledAnswerAreRefused) {
  const std::pair<std::string, ResultadoPasso> casos[] = {
      {"/grande", {teste::kErroRespostaGrande, "Resposta maior que o limite de 1048576 bytes"}},
      {"/sem-tamanho",
       {teste::kErroRespostaGrande, "Resposta maior que o limite de 1048576 bytes"}},
      {"/parado", {teste::kErroTransferenciaParada, ""}},  // the HTTP library's text
  };
  for (const auto& [caminho, esperado] : casos) {
    const ResultadoPasso passo =
        PassoProtegido([&] { utilitarios_->BaixaUrl(servidor_.Url(caminho)); });
    EXPECT_EQ(passo.numero, esperado.numero) << caminho;
    EXPECT_EQ(esperado.descricao.empty() ? "" : passo.descricao, esperado.descricao) << caminho;
  }
}

TEST_F(UtilitariosTest, DownloadToFileIsNotCappedAndAStalledOneLeavesNothing) {
  const std::string destino = pasta_.Em("app.dll-2.31-1");
  EXPECT_EQ(utilitarios_->BaixaUrlParaArquivo(servidor_.Url("/grande"), destino).status, 200);
  EXPECT_EQ(teste::LeArquivo(destino), std::string((1 << 20) + 1, 'g'));
  std::filesystem::remove(destino);
  EXPECT_EQ(PassoProtegido([&] {
              utilitarios_->BaixaUrlParaArquivo(servidor_.Url("/parado"), destino);
            }).numero,
            teste::kErroTransferenciaParada);
  EXPECT_TRUE(std::filesystem::is_empty(pasta_.Caminho()));
}

TEST_F(UtilitariosTest, ClientFragmentTravelsAsOneHeaderLineInTheCodePage) {
  utilitarios_->InformacaoCliente("<atualizador version='6.1' desc_service_pack='Ação\r\nX' />");
  utilitarios_->BaixaUrl(servidor_.Url("/"));
  const std::string linha = servidor_.UltimoCabecalho(kCabecalhoInformacaoCliente);
  if (teste::SobWine()) {
    // Wine's WinHTTP sends the characters of a header as UTF-8, where
    // Windows sends the bytes given: only the one line is checked there.
    EXPECT_TRUE(linha.starts_with("<atualizador version='6.1' desc_service_pack='A") &&
                linha.ends_with("o  X' />"))
        << linha;
  } else {
    EXPECT_EQ(linha, "<atualizador version='6.1' desc_service_pack='A\xE7\xE3o  X' />");
  }
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

}  // namespace
}  // namespace tarvik
