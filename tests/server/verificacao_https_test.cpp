// The update check over HTTPS: the server's certificate is verified against
// the trust store, and a redirect never downgrades to plain HTTP.

#include <gtest/gtest.h>
#include <httplib.h>
#include <stdlib.h>

#include <optional>
#include <thread>
#include <utility>

#include "server/processamento.h"
#include "support/instalacao_teste.h"
#include "support/processo.h"
#include "support/registro_teste.h"
#include "support/servidor_local.h"

namespace tarvik {
namespace {

using teste::LinhaErro;
using teste::LinhaInfo;

constexpr char kSemAtualizacao[] =
    "[sequenciaAtualizacao]\r\nitens=0\r\natualizar=false\r\nversao=2.30\r\n"
    "atualizar_atualizador=false\r\n";

class VerificacaoHttpsTest : public ::testing::Test {
 protected:
  VerificacaoHttpsTest() {
    const auto gerado =
        teste::Executa("/usr/bin/openssl",
                       {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256",
                        "-nodes", "-keyout", "chave.pem", "-out", "certificado.pem", "-days", "2",
                        "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"},
                       instalacao_.Pasta().Caminho());
    EXPECT_EQ(gerado.status, 0) << gerado.erros;
    https_.emplace(Em("certificado.pem").c_str(), Em("chave.pem").c_str());
    // The client keeps its connection: a second request would hold the stop.
    https_->set_keep_alive_max_count(1);
    https_->Get("/verifica", [](const httplib::Request&, httplib::Response& resposta) {
      resposta.set_content(kSemAtualizacao, "text/plain");
    });
    https_->Get("/para-http", [this](const httplib::Request&, httplib::Response& resposta) {
      resposta.set_redirect(http_.Url("/verifica"));
    });
    http_.Inicia();
    porta_ = https_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { https_->listen_after_bind(); });
    // Only the system's store, which does not hold the test's certificate.
    unsetenv("SSL_CERT_FILE");
    unsetenv("CURL_CA_BUNDLE");
  }
  ~VerificacaoHttpsTest() override {
    https_->stop();
    thread_.join();
    unsetenv("SSL_CERT_FILE");
  }

  std::string Em(const std::string& nome) const { return instalacao_.Pasta().Em(nome); }
  // The check of `caminho` on the HTTPS server: its result and last log line.
  std::pair<Resultado, std::string> Verifica(const std::string& caminho) {
    const Resultado resultado = Processamento().ProcessaAtualizacaoAtualizador(
        "2.30", instalacao_.Pasta().Texto(), Url(caminho), "ABC123", false, "conta", "cnpj");
    return {resultado, instalacao_.LinhasRegistro().back()};
  }
  std::string Url(const std::string& caminho) const {
    return "https://127.0.0.1:" + std::to_string(porta_) + caminho;
  }
  std::string ErroBaixar(const std::string& caminho, const std::string& erro) const {
    return LinhaErro("Erro ao baixar o arquivo [" + Url(caminho) + "] Erro: " + erro);
  }

  teste::InstalacaoTeste instalacao_{teste::kMomentoRegistro};
  teste::ServidorLocal http_;
  std::optional<httplib::SSLServer> https_;
  std::thread thread_;
  int porta_ = 0;
};

TEST_F(VerificacaoHttpsTest, OnlyATrustedServerIsAnsweredAndNeverDowngraded) {
  EXPECT_EQ(Verifica("/verifica"), std::pair(Resultado::kFalhaInstalacao,
                                             ErroBaixar("/verifica",
                                                        "[60] Mensagem [SSL certificate problem: "
                                                        "self-signed certificate]")));
  setenv("SSL_CERT_FILE", Em("certificado.pem").c_str(), 1);
  EXPECT_EQ(Verifica("/verifica"),
            std::pair(Resultado::kSucessoInstalacao,
                      LinhaInfo("Não é necessário atualizar o TARVIK. Versão atual já é a "
                                "correta (2.30)")));
  EXPECT_EQ(Verifica("/para-http"),
            std::pair(Resultado::kFalhaInstalacao,
                      ErroBaixar("/para-http",
                                 "[1] Mensagem [Protocol \"http\" not supported or "
                                 "disabled in libcurl]")));
  EXPECT_TRUE(http_.Pedidos().empty());
}

}  // namespace
}  // namespace tarvik
