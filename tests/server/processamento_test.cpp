#include "server/processamento.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/instalacao_teste.h"
#include "support/registro_teste.h"
#include "support/servidor_local.h"

namespace tarvik {
namespace {

using teste::LinhaErro;
using teste::LinhaInfo;
using Linhas = std::vector<std::string>;

constexpr char kCaminhoVerificacao[] = "/tarvik/VerificaAtualizacao.aspx";
constexpr char kSemAtualizacao[] =
    "[sequenciaAtualizacao]\r\nitens=0\r\natualizar=false\r\nversao=4.00\r\n"
    "atualizar_atualizador=false\r\n";
// One new folder: an update that needs no download.
constexpr char kCriaPasta[] =
    "[sequenciaAtualizacao]\r\nitens=1\r\natualizar=true\r\nversao=2.31\r\n"
    "atualizar_atualizador=false\r\nacao_1=CriarPasta\r\ncaminho_1=relatorios\r\n"
    "destino_1=$base$\\\r\n[arquivosOriginais]\r\nversao=2.30\r\nitens=0\r\n";

class ProcessamentoTest : public ::testing::Test {
 protected:
  ProcessamentoTest() {
    servidor_.Http().Get(kCaminhoVerificacao,
                         [this](const httplib::Request& pedido, httplib::Response& resposta) {
                           if (pedido.has_param("operacao"))
                             return;  // the report: its answer is not read
                           resposta.status = status_;
                           resposta.set_content(descritor_, "text/plain");
                         });
    servidor_.Inicia();
  }

  Resultado Verifica(bool atualizador, const std::string& url) {
    return processamento_.ProcessaAtualizacaoAtualizador(atualizador ? "4.00" : "2.30",
                                                         instalacao_.Pasta().Texto(), url, "ABC123",
                                                         atualizador, "Loja & Cia 1", "11.222");
  }
  Resultado Verifica(bool atualizador) {
    return Verifica(atualizador, servidor_.Url(kCaminhoVerificacao));
  }

  std::string UrlEmUso(const std::string& consulta) const {
    return LinhaInfo("url em uso: [" + servidor_.Url(kCaminhoVerificacao) + consulta + "]");
  }

  teste::InstalacaoTeste instalacao_{teste::kMomentoRegistro};
  teste::ServidorLocal servidor_;
  Processamento processamento_;
  int status_ = 200;
  std::string descritor_ = kSemAtualizacao;
};

TEST_F(ProcessamentoTest, NoUpdateDueReturnsSuccessWithoutReport) {
  EXPECT_EQ(Verifica(true), Resultado::kSucessoInstalacao);
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            (Linhas{LinhaInfo("Buscando informação de atualização. Versão atual: 4.00, "
                              "atualizador: True"),
                    UrlEmUso("?versaoAplicativo=4.00&atualizador=on"),
                    LinhaInfo("Resposta recebida. Código http [200]"),
                    LinhaInfo("Não é necessário atualizar o atualizador. Versão atual já é a "
                              "correta (4.00)")}));
  EXPECT_EQ(servidor_.Pedidos(),
            Linhas{std::string(kCaminhoVerificacao) + "?versaoAplicativo=4.00&atualizador=on"});
  EXPECT_TRUE(
      servidor_.UltimoCabecalho("X-Informacao-Cliente").starts_with("<atualizador version='"));
}

TEST_F(ProcessamentoTest, ApplicationCheckEndsWithTheVersion) {
  EXPECT_EQ(Verifica(false), Resultado::kSucessoInstalacao);
  EXPECT_EQ(servidor_.Pedidos(),
            Linhas{std::string(kCaminhoVerificacao) + "?versaoAplicativo=2.30"});
  EXPECT_EQ(instalacao_.LinhasRegistro().back(),
            LinhaInfo("Não é necessário atualizar o TARVIK. Versão atual já é a correta (2.30)"));
}

TEST_F(ProcessamentoTest, StatusOtherThan200FailsWithoutReport) {
  status_ = 404;
  EXPECT_EQ(Verifica(false), Resultado::kFalhaInstalacao);
  const Linhas linhas = instalacao_.LinhasRegistro();
  ASSERT_EQ(linhas.size(), 4u);
  EXPECT_EQ(linhas[2], LinhaInfo("Resposta recebida. Código http [404]"));
  EXPECT_EQ(linhas[3], LinhaInfo("Erro na recepção. Código HTTP: [404], mensagem [Not Found]"));
  EXPECT_EQ(servidor_.Pedidos().size(), 1u);
}

TEST_F(ProcessamentoTest, UnreachableServerIsLoggedWithTheBaseUrl) {
  const std::string url = "http://127.0.0.1:" + std::to_string(teste::PortaFechada()) + "/v.aspx";
  EXPECT_EQ(Verifica(false, url), Resultado::kFalhaInstalacao);
  const Linhas linhas = instalacao_.LinhasRegistro();
  ASSERT_EQ(linhas.size(), 3u);
  // libcurl's message names the address and the time it took.
  const std::string prefixo =
      LinhaErro("Erro ao baixar o arquivo [" + url +
                "] Erro: [7] Mensagem [Failed to connect to 127.0.0.1 port ");
  EXPECT_TRUE(linhas[2].starts_with(prefixo) && linhas[2].ends_with("]")) << linhas[2];
}

TEST_F(ProcessamentoTest, UnreadableAnswerFailsAndSaysWhy) {
  descritor_ = "itens=3\r\n[sequenciaAtualizacao]\r\n";
  EXPECT_EQ(Verifica(false), Resultado::kFalhaInstalacao);
  const std::string ultima = instalacao_.LinhasRegistro().back();
  EXPECT_TRUE(ultima.starts_with(LinhaErro("Erro ao interpretar a resposta do servidor. Erro: [")))
      << ultima;
  EXPECT_EQ(servidor_.Pedidos().size(), 1u);
}

TEST_F(ProcessamentoTest, AppliedUpdateIsReportedWithValuesUnencoded) {
  descritor_ = kCriaPasta;
  EXPECT_EQ(Verifica(false), Resultado::kSucessoInstalacao);
  EXPECT_TRUE(std::filesystem::is_directory(instalacao_.Pasta().Em("relatorios")));
  EXPECT_EQ(instalacao_.LinhasRegistro().back(), LinhaInfo("Sucesso na atualização do TARVIK"));
  EXPECT_EQ(
      servidor_.Pedidos(),
      (Linhas{std::string(kCaminhoVerificacao) + "?versaoAplicativo=2.30",
              std::string(kCaminhoVerificacao) +
                  "?operacao=resultado&chave=ABC123&data=20260305070809&resultado="
                  "SucessoInstalacao&versao_original=2.30&versao_atualizada=2.31&conta=Loja%20&"
                  "%20Cia%201&cnpj=11.222"}));
}

TEST_F(ProcessamentoTest, FailedUpdateStillReports) {
  // A folder to remove that still holds a file: the task fails.
  teste::EscreveArquivo(instalacao_.Pasta().Em("relatorios/r.txt"), "x");
  descritor_ = std::regex_replace(kCriaPasta, std::regex("CriarPasta"), "RemoverPasta");
  EXPECT_EQ(Verifica(false), Resultado::kFalhaInstalacao);
  const Linhas pedidos = servidor_.Pedidos();
  ASSERT_EQ(pedidos.size(), 2u);
  EXPECT_NE(
      pedidos[1].find("&resultado=FalhaInstalacao&versao_original=2.30&versao_atualizada=2.31&"),
      std::string::npos)
      << pedidos[1];
}

}  // namespace
}  // namespace tarvik
