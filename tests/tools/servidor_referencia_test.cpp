// The reference update server over HTTP on 127.0.0.1: its answers to
// checks, the reports it stores, the files it serves, HTTPS, and the
// program's command line.

#include "servidor_referencia/servidor_referencia.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "platform/utilitarios.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"
#include "tools/servidor_em_teste.h"

namespace tarvik::referencia {
namespace {

namespace fs = std::filesystem;
using Linhas = std::vector<std::string>;

using teste::ServidorEmTeste;

class ServidorReferenciaTest : public ::testing::Test {
 protected:
  ServidorReferenciaTest() {
    teste::EscreveArquivo(Catalogo("descritores/aplicativo/2.30/2.31.txt"),
                          "de 2.30 para 2.31\r\n");
    teste::EscreveArquivo(Catalogo("descritores/atualizador/4.00/4.01.txt"),
                          "de 4.00 para 4.01\r\n");
    teste::EscreveArquivo(Catalogo("arquivos/aplicativo/2.31/Relatórios/março.txt"), "vendas");
    teste::EscreveArquivo(Catalogo("arquivos/aplicativo/2.31/vazio.txt"), "");
    for (size_t i = 0; i < 300 * 1024; ++i) grande_ += static_cast<char>((i * 7919) >> 5);
    teste::EscreveArquivo(Catalogo("arquivos/aplicativo/2.31/grande.bin"), grande_);
    teste::EscreveArquivo(Catalogo("segredo.txt"), "segredo");
    configuracao_.catalogo = pasta_.Em("catálogo");
    configuracao_.banco = pasta_.Em("relatórios.db");
  }

  fs::path Catalogo(const std::string& relativo) const {
    return pasta_.Caminho() / "catálogo" / relativo;
  }

  teste::PastaTemporaria pasta_;
  ConfiguracaoServidor configuracao_;
  std::string grande_;
};

TEST_F(ServidorReferenciaTest, AnswersChecksByTheInstalledVersion) {
  ServidorEmTeste servidor(configuracao_);
  httplib::Client cliente(servidor.Servidor().Url());
  // One connection, so that one thread of the server answers and logs the
  // requests in order.
  cliente.set_keep_alive(true);
  struct Caso {
    std::string consulta;
    int status;
    std::string corpo;
  };
  const auto semAtualizacao = [](const std::string& versao) {
    return "[sequenciaAtualizacao]\r\nitens=0\r\natualizar=false\r\nversao=" + versao +
           "\r\natualizar_atualizador=false\r\n";
  };
  const std::vector<Caso> casos = {
      {"?versaoAplicativo=2.30", 200, "de 2.30 para 2.31\r\n"},
      {"?versaoAplicativo=2.31", 200, semAtualizacao("2.31")},
      {"?versaoAplicativo=2.29", 200, semAtualizacao("2.29")},
      {"?versaoAplicativo=../2.30", 200, semAtualizacao("")},
      {"?versaoAplicativo=4.00&atualizador=on", 200, "de 4.00 para 4.01\r\n"},
      {"", 400, "consulta vazia\n"},
      {"?operacao=resultado&chave=k\x01", 400, "campo [data] ausente ou fora de ordem\n"},
  };
  for (const Caso& caso : casos) {
    const auto resposta = cliente.Get(std::string(kCaminhoVerificacao) + caso.consulta);
    ASSERT_TRUE(resposta) << caso.consulta;
    EXPECT_EQ(resposta->status, caso.status) << caso.consulta;
    EXPECT_EQ(resposta->body, caso.corpo) << caso.consulta;
  }
  cliente.stop();
  servidor.Para();
  const std::string pedido = "127.0.0.1 \"GET /tarvik/VerificaAtualizacao.aspx";
  EXPECT_EQ(
      servidor.Registro(),
      (Linhas{
          pedido + "?versaoAplicativo=2.30\" 200 aplicativo 2.30 -> 2.31",
          pedido + "?versaoAplicativo=2.31\" 200 aplicativo 2.31: versão atual",
          pedido + "?versaoAplicativo=2.29\" 200 aplicativo 2.29: versão sem atualização publicada",
          pedido + "?versaoAplicativo=../2.30\" 200 aplicativo ../2.30: versão sem atualização "
                   "publicada",
          pedido + "?versaoAplicativo=4.00&atualizador=on\" 200 atualizador 4.00 -> 4.01",
          pedido + "\" 400 consulta vazia",
          pedido +
              "?operacao=resultado&chave=k\\x01\" 400 campo [data] ausente ou fora de ordem"}));
}

TEST_F(ServidorReferenciaTest, StoresEveryReportWithTheClientEnvironment) {
  ServidorEmTeste servidor(configuracao_);
  httplib::Client cliente(servidor.Servidor().Url());
  cliente.set_keep_alive(true);
  const std::string relatorio =
      std::string(kCaminhoVerificacao) +
      "?operacao=resultado&chave={6F9619FF-8B86-D011-B42D-00C04FC964FF}"
      "&data=20261204042903&resultado=SucessoInstalacao&versao_original=2.30"
      "&versao_atualizada=2.31&conta=Padaria%20S%C3%A3o%20Jo%C3%A3o&cnpj=12.345.678/0001-90";
  // The updater sends the fragment in its code page.
  const std::string fragmento = ParaCp1252(
      "<atualizador version='6.1' build='7601' platform_id='2' desc_service_pack='Serviço 1' "
      "architecture='9' />");
  const auto aceito = cliente.Get(relatorio, {{kCabecalhoInformacaoCliente, fragmento}});
  ASSERT_TRUE(aceito);
  EXPECT_EQ(aceito->status, 200);
  const auto semCabecalho = cliente.Get(relatorio + "&outro=1");
  ASSERT_TRUE(semCabecalho);
  EXPECT_EQ(semCabecalho->status, 200);
  const auto recusado =
      cliente.Get(std::string(kCaminhoVerificacao) + "?operacao=resultado&chave=x&data=1");
  ASSERT_TRUE(recusado);
  EXPECT_EQ(recusado->status, 400);
  cliente.stop();
  servidor.Para();

  const BancoRelatorios banco(configuracao_.banco, BancoRelatorios::Modo::kLeitura);
  // Report `n` of the one sent above, with its `cnpj` and client information.
  const auto formatado = [](int n, const std::string& cnpj, const std::string& informacao) {
    return "relatório " + std::to_string(n) +
           ", recebido em 2026-12-04 07:29:03 UTC de 127.0.0.1\n"
           "  chave: {6F9619FF-8B86-D011-B42D-00C04FC964FF}\n  data: 20261204042903\n"
           "  resultado: SucessoInstalacao\n  versao_original: 2.30\n  versao_atualizada: 2.31\n"
           "  conta: Padaria São João\n  cnpj: " +
           cnpj + "\n  informacao_cliente: " + informacao + "\n";
  };
  EXPECT_EQ(FormataRelatorios(banco.Lista()),
            formatado(1, "12.345.678/0001-90",
                      "<atualizador version='6.1' build='7601' platform_id='2' "
                      "desc_service_pack='Serviço 1' architecture='9' />") +
                formatado(2, "12.345.678/0001-90&outro=1", ""));
  const Linhas registro = servidor.Registro();
  ASSERT_EQ(registro.size(), 3u);
  EXPECT_EQ(registro[0], "127.0.0.1 \"GET " + relatorio +
                             "\" 200 relatório SucessoInstalacao de 2.30 para 2.31 gravado");
  EXPECT_EQ(registro[2],
            "127.0.0.1 \"GET /tarvik/VerificaAtualizacao.aspx?operacao=resultado&chave=x&data=1\" "
            "400 campo [resultado] ausente ou fora de ordem");
}

TEST_F(ServidorReferenciaTest, ServesTheFilesFolderAndNothingElse) {
  ServidorEmTeste servidor(configuracao_);
  httplib::Client cliente(servidor.Servidor().Url());
  struct Caso {
    std::string caminho;
    int status;
    std::string corpo;
  };
  const std::vector<Caso> casos = {
      {"/arquivos/aplicativo/2.31/Relat%C3%B3rios/mar%C3%A7o.txt", 200, "vendas"},
      {"/arquivos/aplicativo/2.31/grande.bin", 200, grande_},
      {"/arquivos/aplicativo/2.31/vazio.txt", 200, ""},
      {"/arquivos/../segredo.txt", 404, "arquivo não encontrado\n"},
      {"/arquivos/%2e%2e/segredo.txt", 404, "arquivo não encontrado\n"},
      {"/arquivos/aplicativo/2.31", 404, "arquivo não encontrado\n"},
      {"/arquivos/aplicativo//2.31/vazio.txt", 404, "arquivo não encontrado\n"},
      {"/segredo.txt", 404, "caminho desconhecido\n"},
  };
  for (const Caso& caso : casos) {
    const auto resposta = cliente.Get(caso.caminho);
    ASSERT_TRUE(resposta) << caso.caminho;
    EXPECT_EQ(resposta->status, caso.status) << caso.caminho;
    EXPECT_EQ(resposta->body, caso.corpo) << caso.caminho;
  }
}

TEST_F(ServidorReferenciaTest, SpeaksHttpsWithACertificateAndKey) {
  const auto gerado =
      teste::Executa("/usr/bin/openssl",
                     {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "chave.pem",
                      "-out", "certificado.pem", "-days", "1", "-subj", "/CN=127.0.0.1"},
                     pasta_.Caminho());
  ASSERT_EQ(gerado.status, 0) << gerado.erros;
  configuracao_.certificado = pasta_.Em("certificado.pem");
  configuracao_.chave = pasta_.Em("chave.pem");
  ServidorEmTeste servidor(configuracao_);
  EXPECT_EQ(servidor.Servidor().Url().substr(0, 18), "https://127.0.0.1:");
  httplib::Client cliente(servidor.Servidor().Url());
  cliente.enable_server_certificate_verification(false);
  const auto resposta = cliente.Get(std::string(kCaminhoVerificacao) + "?versaoAplicativo=2.30");
  ASSERT_TRUE(resposta);
  EXPECT_EQ(resposta->body, "de 2.30 para 2.31\r\n");

  configuracao_.chave = pasta_.Em("certificado.pem");
  try {
    ServidorReferencia invalido(configuracao_, [](const std::string&) {});
    ADD_FAILURE() << "aceitou a chave";
  } catch (const std::runtime_error& erro) {
    EXPECT_EQ(std::string(erro.what()), "não foi possível carregar o certificado [" +
                                            pasta_.Em("certificado.pem") + "] e a chave [" +
                                            pasta_.Em("certificado.pem") + "]");
  }
}

TEST_F(ServidorReferenciaTest, ProgramListsReportsAndStopsByItself) {
  const auto executa = [&](const std::vector<std::string>& argumentos) {
    return teste::Executa(teste::PastaBinarios() / "servidor_referencia", argumentos,
                          pasta_.Caminho());
  };
  const std::string banco = configuracao_.banco.string(), catalogo = configuracao_.catalogo;
  BancoRelatorios(configuracao_.banco, BancoRelatorios::Modo::kGravacao);
  const auto vazio = executa({"--lista", "--banco", banco});
  EXPECT_EQ(vazio.status, 0);
  EXPECT_EQ(vazio.saida, "nenhum relatório\n");

  const auto ausente = executa({"--lista", "--banco", pasta_.Em("nenhum.db")});
  EXPECT_EQ(ausente.status, 1);
  EXPECT_EQ(ausente.erros, "servidor_referencia: não foi possível abrir o banco [" +
                               pasta_.Em("nenhum.db") + "]: unable to open database file\n");

  const auto uso = executa({"--lista"});
  EXPECT_EQ(uso.status, 2);
  EXPECT_EQ(uso.erros.substr(0, 46), "uso: servidor_referencia --catalogo PASTA --ba");

  // A port that a server holds is refused to a second one.
  ServidorEmTeste ocupante(configuracao_);
  const std::string porta =
      ocupante.Servidor().Url().substr(std::string("http://127.0.0.1:").size());
  const auto ocupada = executa({"--catalogo", catalogo, "--banco", banco, "--porta", porta});
  EXPECT_EQ(ocupada.status, 1);
  EXPECT_EQ(ocupada.erros,
            "servidor_referencia: não foi possível ouvir em 127.0.0.1:" + porta + "\n");

  const auto sozinho = executa({"--catalogo", catalogo, "--banco", banco, "--encerra-apos", "1"});
  EXPECT_EQ(sozinho.status, 0) << sozinho.erros;
  EXPECT_EQ(sozinho.saida.substr(0, 28), "ouvindo em http://127.0.0.1:");
  EXPECT_TRUE(sozinho.saida.ends_with(" servidor parado\n")) << sozinho.saida;
}

}  // namespace
}  // namespace tarvik::referencia
