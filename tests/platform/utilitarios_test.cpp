#include "platform/utilitarios.h"

#include <gtest/gtest.h>

#include <atomic>
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

using namespace std::chrono_literals;

// The limits of the transfers against a local server that misbehaves.
// Requests, statuses, bodies and transport failures also run through the
// tests of the checks and the download task, which use this component.
class UtilitariosTest : public ::testing::Test {
 protected:
  UtilitariosTest() {
    platform::HttpOptions opcoes;
    opcoes.connectTimeoutSeconds = 5;
    opcoes.slowWindowSeconds = 1;
    opcoes.minBytesPerSecond = 1024;
    opcoes.memoryDeadlineSeconds = 2;
    opcoes.maxBodyBytes = 1 << 20;
    utilitarios_ = CriaUtilitariosDaPlataforma(opcoes);

    auto& http = servidor_.Http();
    http.Get("/grande", [](const httplib::Request&, httplib::Response& resposta) {
      resposta.set_content(std::string((1 << 20) + 1, 'g'), "application/octet-stream");
    });
    // No length announced: the caps must hold while receiving. It ends only
    // so that a cap that fails cannot fill the disk.
    servidor_.ServeEmBlocos("/sem-tamanho", 64 << 10, 0ms, 8 << 20);
    // Well above the floor, but not done before the deadline.
    servidor_.ServeEmBlocos("/constante", 4 << 10, 50ms, 1 << 30);
    // Far below the floor: 40 bytes a second for 10 seconds.
    servidor_.ServeEmBlocos("/gotejando", 2, 50ms, 400);
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

TEST_F(UtilitariosTest, AnswerInMemoryBeyondTheCapStalledOrPastTheDeadlineIsRefused) {
  const std::pair<std::string, ResultadoPasso> casos[] = {
      {"/grande", {teste::kErroRespostaGrande, "Resposta maior que o limite de 1048576 bytes"}},
      {"/sem-tamanho",
       {teste::kErroRespostaGrande, "Resposta maior que o limite de 1048576 bytes"}},
      // The HTTP library's text for the rest.
      {"/parado", {teste::kErroTransferenciaParada, ""}},
      {"/constante", {teste::kErroTransferenciaParada, ""}},
  };
  for (const auto& [caminho, esperado] : casos) {
    const ResultadoPasso passo =
        PassoProtegido([&] { utilitarios_->BaixaUrl(servidor_.Url(caminho)); });
    EXPECT_EQ(passo.numero, esperado.numero) << caminho;
    EXPECT_EQ(esperado.descricao.empty() ? "" : passo.descricao, esperado.descricao) << caminho;
  }
}

// A file has no size cap and no deadline of its own, only the limit its
// caller gives; a body cut at that limit is kept, a stalled or trickling
// one leaves nothing.
TEST_F(UtilitariosTest, DownloadToFileKeepsAtMostTheLimitAndAStalledOneNothing) {
  struct Caso {
    std::string caminho;
    int64_t limite;
    int32_t erro;
    std::string arquivo;  // what is left at the destination
  };
  const Caso casos[] = {
      {"/grande", kSemLimite, 0, std::string((1 << 20) + 1, 'g')},
      {"/sem-tamanho", 1001, 0, std::string(1001, 'c')},
      {"/parado", kSemLimite, teste::kErroTransferenciaParada, ""},
      {"/gotejando", kSemLimite, teste::kErroTransferenciaParada, ""},
  };
  const std::string destino = pasta_.Em("app.dll-2.31-1");
  for (const Caso& caso : casos) {
    RespostaHttp resposta;
    EXPECT_EQ(PassoProtegido([&] {
                resposta = utilitarios_->BaixaUrlParaArquivo(servidor_.Url(caso.caminho), destino,
                                                             caso.limite);
              }).numero,
              caso.erro)
        << caso.caminho;
    EXPECT_EQ(resposta.status, caso.erro == 0 ? 200 : 0) << caso.caminho;
    EXPECT_EQ(std::filesystem::exists(destino), caso.erro == 0) << caso.caminho;
    const std::string arquivo = teste::LeArquivo(destino);
    EXPECT_EQ(arquivo.size(), caso.arquivo.size()) << caso.caminho;
    EXPECT_TRUE(arquivo == caso.arquivo) << caso.caminho;
    std::filesystem::remove(destino);
    // No partial sibling either.
    EXPECT_TRUE(std::filesystem::is_empty(pasta_.Caminho())) << caso.caminho;
  }
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
