// The reference update server over HTTP on 127.0.0.1: its answers to
// checks, the files it serves, the reports it stores, HTTPS, and the
// program's command line.

#include "servidor_referencia/servidor_referencia.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <regex>
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
    for (const auto& [relativo, conteudo] :
         {std::pair<std::string, std::string>{"descritores/aplicativo/2.30/2.31.txt",
                                              "de 2.30 para 2.31\r\n"},
          {"descritores/atualizador/4.00/4.01.txt", "de 4.00 para 4.01\r\n"},
          {"arquivos/aplicativo/2.31/Relatórios/março.txt", "vendas"},
          {"arquivos/aplicativo/2.31/vazio.txt", ""},
          {"arquivos/aplicativo/2.31/grande.bin", grande_},
          {"segredo.txt", "segredo"}}) {
      teste::EscreveArquivo(pasta_.Caminho() / "catálogo" / relativo, conteudo);
    }
    configuracao_.catalogo = pasta_.Em("catálogo");
    configuracao_.banco = pasta_.Em("relatórios.db");
  }

  teste::PastaTemporaria pasta_;
  ConfiguracaoServidor configuracao_;
  const std::string grande_ = [] {
    std::string grande;
    for (size_t i = 0; i < 300 * 1024; ++i) grande += static_cast<char>((i * 7919) >> 5);
    return grande;
  }();
};

TEST_F(ServidorReferenciaTest, AnswersChecksStoresReportsAndServesTheFilesFolderOnly) {
  ServidorEmTeste servidor(configuracao_);
  httplib::Client cliente(servidor.Url());
  // One connection, so that one thread of the server answers and logs the
  // requests in order.
  cliente.set_keep_alive(true);
  const auto semAtualizacao = [](const std::string& versao) {
    return "[sequenciaAtualizacao]\r\nitens=0\r\natualizar=false\r\nversao=" + versao +
           "\r\natualizar_atualizador=false\r\n";
  };
  // A refusal's body is its reason, which the log line ends with.
  struct Caso {
    std::string alvo;
    int status;
    std::string nota, corpo = nota + "\n";
    httplib::Headers cabecalhos = {};
  };
  const std::string verificacao = kCaminhoVerificacao, arquivos = "/arquivos/aplicativo/";
  const std::string relatorio =
      verificacao +
      "?operacao=resultado&chave={6F9619FF-8B86-D011-B42D-00C04FC964FF}"
      "&data=20261204042903&resultado=SucessoInstalacao&versao_original=2.30"
      "&versao_atualizada=2.31&conta=Padaria%20S%C3%A3o%20Jo%C3%A3o&cnpj=12.345.678/0001-90";
  const std::string gravado = "relatório SucessoInstalacao de 2.30 para 2.31 gravado";
  // The updater sends the fragment in its code page.
  const std::string fragmento =
      "<atualizador version='6.1' build='7601' platform_id='2' desc_service_pack='Serviço 1' "
      "architecture='9' />";
  const Caso casos[] = {
      {verificacao + "?versaoAplicativo=2.30", 200, "aplicativo 2.30 -> 2.31",
       "de 2.30 para 2.31\r\n"},
      {verificacao + "?versaoAplicativo=2.31", 200, "aplicativo 2.31: versão atual",
       semAtualizacao("2.31")},
      {verificacao + "?versaoAplicativo=../2.30", 200,
       "aplicativo ../2.30: versão sem atualização publicada", semAtualizacao("")},
      {verificacao + "?versaoAplicativo=4.00&atualizador=on", 200, "atualizador 4.00 -> 4.01",
       "de 4.00 para 4.01\r\n"},
      {relatorio, 200, gravado, "OK\n", {{kCabecalhoInformacaoCliente, ParaCp1252(fragmento)}}},
      {relatorio + "&outro=1", 200, gravado, "OK\n"},
      {verificacao + "?operacao=resultado&chave=x&data=1", 400,
       "campo [resultado] ausente ou fora de ordem"},
      {verificacao + "?operacao=resultado&chave=k\x01", 400,
       "campo [data] ausente ou fora de ordem"},
      {arquivos + "2.31/Relat%C3%B3rios/mar%C3%A7o.txt", 200, "", "vendas"},
      {arquivos + "2.31/grande.bin", 200, "", grande_},
      {arquivos + "2.31/vazio.txt", 200, "", ""},
      {"/arquivos/../segredo.txt", 404, "arquivo não encontrado"},
      {"/arquivos/%2e%2e/segredo.txt", 404, "arquivo não encontrado"},
      {arquivos + "2.31", 404, "arquivo não encontrado"},
      {arquivos + "/2.31/vazio.txt", 404, "arquivo não encontrado"},
      {"/segredo.txt", 404, "caminho desconhecido"},
  };
  Linhas registro;
  for (const Caso& caso : casos) {
    const auto resposta = cliente.Get(caso.alvo, caso.cabecalhos);
    ASSERT_TRUE(resposta) << caso.alvo;
    EXPECT_EQ(resposta->status, caso.status) << caso.alvo;
    EXPECT_EQ(resposta->body, caso.corpo) << caso.alvo;
    // Control characters are shown, never written into the log.
    registro.push_back("127.0.0.1 \"GET " +
                       std::regex_replace(caso.alvo, std::regex("\x01"), "\\x01") + "\" " +
                       std::to_string(caso.status) + (caso.nota.empty() ? "" : " ") + caso.nota);
  }
  cliente.stop();
  servidor.Para();
  EXPECT_EQ(servidor.Registro(), registro);

  // Report `n` of the one sent above, with its `cnpj` and client information.
  const auto formatado = [](int n, const std::string& cnpj, const std::string& informacao) {
    return "relatório " + std::to_string(n) +
           ", recebido em 2026-12-04 07:29:03 UTC de 127.0.0.1\n"
           "  chave: {6F9619FF-8B86-D011-B42D-00C04FC964FF}\n  data: 20261204042903\n"
           "  resultado: SucessoInstalacao\n  versao_original: 2.30\n  versao_atualizada: 2.31\n"
           "  conta: Padaria São João\n  cnpj: " +
           cnpj + "\n  informacao_cliente: " + informacao + "\n";
  };
  EXPECT_EQ(FormataRelatorios(
                BancoRelatorios(configuracao_.banco, BancoRelatorios::Modo::kLeitura).Lista()),
            formatado(1, "12.345.678/0001-90", fragmento) +
                formatado(2, "12.345.678/0001-90&outro=1", ""));
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
  {
    ServidorEmTeste servidor(configuracao_);
    EXPECT_TRUE(servidor.Url().starts_with("https://127.0.0.1:"));
    httplib::Client cliente(servidor.Url());
    cliente.enable_server_certificate_verification(false);
    const auto resposta = cliente.Get(std::string(kCaminhoVerificacao) + "?versaoAplicativo=2.30");
    ASSERT_TRUE(resposta);
    EXPECT_EQ(resposta->body, "de 2.30 para 2.31\r\n");
  }
  configuracao_.chave = configuracao_.certificado;
  try {
    ServidorReferencia invalido(configuracao_, [](const std::string&) {});
    ADD_FAILURE() << "aceitou a chave";
  } catch (const std::runtime_error& erro) {
    EXPECT_EQ(std::string(erro.what()), "não foi possível carregar o certificado [" +
                                            configuracao_.chave.string() + "] e a chave [" +
                                            configuracao_.chave.string() + "]");
  }
}

TEST_F(ServidorReferenciaTest, ProgramListsReportsAndStopsByItself) {
  const std::string banco = configuracao_.banco.string(), catalogo = configuracao_.catalogo;
  BancoRelatorios(configuracao_.banco, BancoRelatorios::Modo::kGravacao);
  // A port that a server holds is refused to a second one.
  ServidorEmTeste ocupante(configuracao_);
  const std::string porta = ocupante.Url().substr(std::string("http://127.0.0.1:").size());
  const struct {
    std::vector<std::string> argumentos;
    int status;
    std::string saida, erros;  // the start of standard error for the usage
  } casos[] = {
      {{"--lista", "--banco", banco}, 0, "nenhum relatório\n", ""},
      {{"--lista", "--banco", pasta_.Em("nenhum.db")},
       1,
       "",
       "servidor_referencia: não foi possível abrir o banco [" + pasta_.Em("nenhum.db") +
           "]: unable to open database file\n"},
      {{"--lista"}, 2, "", "uso: servidor_referencia --catalogo PASTA --ba"},
      {{"--catalogo", catalogo, "--banco", banco, "--porta", porta},
       1,
       "",
       "servidor_referencia: não foi possível ouvir em 127.0.0.1:" + porta + "\n"},
  };
  for (const auto& caso : casos) {
    const auto resultado = teste::Executa(teste::PastaBinarios() / "servidor_referencia",
                                          caso.argumentos, pasta_.Caminho());
    EXPECT_EQ(resultado.status, caso.status) << caso.argumentos[0];
    EXPECT_EQ(resultado.saida, caso.saida);
    EXPECT_EQ(caso.status == 2 ? resultado.erros.substr(0, caso.erros.size()) : resultado.erros,
              caso.erros);
  }
  const auto sozinho = teste::Executa(
      teste::PastaBinarios() / "servidor_referencia",
      {"--catalogo", catalogo, "--banco", banco, "--encerra-apos", "1"}, pasta_.Caminho());
  EXPECT_EQ(sozinho.status, 0) << sozinho.erros;
  EXPECT_TRUE(sozinho.saida.starts_with("ouvindo em http://127.0.0.1:")) << sozinho.saida;
  EXPECT_TRUE(sozinho.saida.ends_with(" servidor parado\n")) << sozinho.saida;
}

}  // namespace
}  // namespace tarvik::referencia
