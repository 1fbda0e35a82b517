// The reference update server: how it orders versions and reads queries,
// and over HTTP on 127.0.0.1 its answers to checks, the files it serves, the
// reports it stores, HTTPS, and the program's command line.

#include "servidor_referencia/servidor_referencia.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "platform/utilitarios.h"
#include "servidor_referencia/acesso_operador.h"
#include "servidor_referencia/catalogo.h"
#include "servidor_referencia/consulta_atualizacao.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"
#include "tools/servidor_em_teste.h"

namespace tarvik::referencia {
namespace {

using Linhas = std::vector<std::string>;
using publicacao::Produto;
using teste::ServidorEmTeste;
using Tipo = ConsultaAtualizacao::Tipo;

// Versions are safe texts that compare by number where possible.
TEST(CatalogoTest, VersionsAreSafeTextsComparedByNumberWherePossible) {
  for (const auto& [a, b, ordem] : {std::tuple{"2.4", "2.31", -1},
                                    {"2.31", "2.31", 0},
                                    {"2.030", "2.30", 0},
                                    {"2.31.1", "2.31", 1},
                                    {"1.99999999999999999999", "1.100000000000000000000", -1},
                                    {"2.beta", "2.alpha", 1},
                                    {"2.1", "2.beta", -1},
                                    {"3", "2.99", 1}}) {
    EXPECT_EQ(publicacao::ComparaVersoes(a, b), ordem) << a << " " << b;
    EXPECT_EQ(publicacao::ComparaVersoes(b, a), -ordem) << b << " " << a;
  }
  // The first four are versions.
  const std::string textos[] = {
      "1",     "2.31-rc_1", "V2",     std::string(64, '9'), "", "..", "-1", "2.31 beta", "2/31",
      "2\\31", "2.31\r",    "versão", std::string(65, '9')};
  for (size_t i = 0; i < std::size(textos); ++i) {
    EXPECT_EQ(publicacao::VersaoValida(textos[i]), i < 4) << textos[i];
  }
}

// A query as the server reads it: a check as "<product> <version>", a report
// as its fields, '|' separated, and anything else as the reason it is refused.
std::string Lida(const std::string& texto) {
  const ConsultaAtualizacao consulta = InterpretaConsulta(texto);
  const RelatorioResultado& r = consulta.relatorio;
  if (consulta.tipo == Tipo::kInvalida) return consulta.motivo;
  if (consulta.tipo == Tipo::kVerificacao) {
    return (consulta.produto == Produto::kAtualizador ? "atualizador " : "aplicativo ") +
           consulta.versao;
  }
  return r.chave + "|" + r.data + "|" + r.resultado + "|" + r.versaoOriginal + "|" +
         r.versaoAtualizada + "|" + r.conta + "|" + r.cnpj;
}

// Only whole escapes are decoded, '+' stays; a report's values run up to the
// next field's "&name=", so they may hold '&' and '='.
TEST(ConsultaAtualizacaoTest, ReadsWhatTheUpdaterSendsAndRefusesTheRest) {
  // A whole report with `de` replaced by `para`.
  const auto relatorio = [](const std::string& de, const std::string& para) {
    std::string texto =
        "operacao=resultado&chave=k&data=20261204042903&resultado=SucessoInstalacao"
        "&versao_original=1&versao_atualizada=2&conta=c&cnpj=n";
    return texto.replace(texto.find(de), de.size(), para);
  };
  const std::pair<std::string, std::string> casos[] = {
      {"versaoAplicativo=2.30", "aplicativo 2.30"},
      {"atualizador=on&versaoAplicativo=4.00", "atualizador 4.00"},
      {"versaoAplicativo=2.30%20beta+1%2%zz%%4a%4A", "aplicativo 2.30 beta+1%2%zz%JJ"},
      {"operacao=resultado&chave={6F9619FF-8B86-D011-B42D-00C04FC964FF}&data=20261204042903"
       "&resultado=FalhaArquivosEmUso&versao_original=2.30&versao_atualizada=2.31"
       "&conta=Padaria%20S%C3%A3o Jo&o=1&cnpj=12.345.678/0001-90&x=%zz%4",
       "{6F9619FF-8B86-D011-B42D-00C04FC964FF}|20261204042903|FalhaArquivosEmUso|2.30|2.31|"
       "Padaria São Jo&o=1|12.345.678/0001-90&x=%zz%4"},
      {"", "consulta vazia"},
      {"versaoAplicativo", "chave [versaoAplicativo] sem valor"},
      {"versaoAplicativo=", "versão vazia"},
      {"atualizador=on", "falta a chave [versaoAplicativo]"},
      {"versaoAplicativo=2.30&atualizador=sim", "valor [sim] da chave [atualizador]"},
      {"versaoAplicativo=2.30&versaoAplicativo=2.31", "chave [versaoAplicativo] repetida"},
      {"versaoAplicativo=2.30&", "chave [] desconhecida"},
      {"operacao=outra&chave=k", "operação desconhecida"},
      {relatorio("chave=k&", ""), "campo [chave] ausente ou fora de ordem"},
      {relatorio("&cnpj=n", ""), "campo [cnpj] ausente ou fora de ordem"},
      {relatorio("20261204042903", "2026120404290"), "data [2026120404290] não tem 14 dígitos"},
      {relatorio("20261204042903", "2026120404290x"), "data [2026120404290x] não tem 14 dígitos"},
      {relatorio("SucessoInstalacao", "Sucesso"), "resultado [Sucesso] desconhecido"},
      // Values must be text that every store holds: no NUL, no malformed,
      // overlong or surrogate UTF-8.
      {relatorio("conta=c", "conta=%F0%9F%98%80"), "k|20261204042903|SucessoInstalacao|1|2|😀|n"},
      {relatorio("conta=c", "conta=a%00"), "campo [conta] não é texto UTF-8"},
      {relatorio("cnpj=n", "cnpj=%C3"), "campo [cnpj] não é texto UTF-8"},
      {relatorio("chave=k", "chave=%C0%80"), "campo [chave] não é texto UTF-8"},
      {relatorio("chave=k", "chave=%ED%A0%80"), "campo [chave] não é texto UTF-8"},
      {relatorio("chave=k", "chave=%E2%82"), "campo [chave] não é texto UTF-8"},
  };
  for (const auto& [texto, lida] : casos) EXPECT_EQ(Lida(texto), lida) << texto;
}

class ServidorReferenciaTest : public ::testing::Test {
 protected:
  // The newest application version is 2.31: not 2.4, not the updater's 4.01,
  // and neither a stray file nor one whose name is no version counts.
  ServidorReferenciaTest() {
    for (const auto& [relativo, conteudo] :
         {std::pair<std::string, std::string>{"descritores/aplicativo/2.30/2.31.txt",
                                              "de 2.30 para 2.31\r\n"},
          {"descritores/aplicativo/2.30/2.4.txt", "de 2.30 para 2.4\r\n"},
          {"descritores/aplicativo/2.29/2.30.txt", "de 2.29 para 2.30\r\n"},
          {"descritores/aplicativo/2.30/leia-me", "x"},
          {"descritores/aplicativo/2.30/9 beta.txt", "x"},
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
  const auto checa = [&](const std::string& consulta) {
    return verificacao + "?versaoAplicativo=" + consulta;
  };
  // 2.031 is the newest by number, and the answer names the catalogue's 2.31.
  const Caso casos[] = {
      {checa("2.30"), 200, "aplicativo 2.30 -> 2.31", "de 2.30 para 2.31\r\n"},
      {checa("2.031"), 200, "aplicativo 2.031: versão atual", semAtualizacao("2.31")},
      {checa("2.32"), 200, "aplicativo 2.32: versão sem atualização publicada",
       semAtualizacao("2.32")},
      {checa("../2.30"), 200, "aplicativo ../2.30: versão sem atualização publicada",
       semAtualizacao("")},
      {checa("4.00&atualizador=on"), 200, "atualizador 4.00 -> 4.01", "de 4.00 para 4.01\r\n"},
      {relatorio, 200, gravado, "OK\n", {{kCabecalhoInformacaoCliente, ParaCp1252(fragmento)}}},
      {relatorio + "&outro=1", 200, gravado, "OK\n"},
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
  EXPECT_EQ(
      FormataRelatorios(AbreBanco(configuracao_.banco, BancoRelatorios::Modo::kLeitura)->Lista()),
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
  ServidorEmTeste servidor(configuracao_);
  // The client speaks TLS because the server's URL says https.
  httplib::Client cliente(servidor.Url());
  cliente.enable_server_certificate_verification(false);
  const auto resposta = cliente.Get(std::string(kCaminhoVerificacao) + "?versaoAplicativo=2.30");
  ASSERT_TRUE(resposta);
  EXPECT_EQ(resposta->body, "de 2.30 para 2.31\r\n");
  configuracao_.chave = configuracao_.certificado;
  const std::string pem = configuracao_.chave.string();
  EXPECT_THAT([&] { ServidorReferencia(configuracao_, [](const std::string&) {}); },
              testing::ThrowsMessage<std::runtime_error>(
                  "não foi possível carregar o certificado [" + pem + "] e a chave [" + pem + "]"));
}

TEST_F(ServidorReferenciaTest, ProgramListsReportsAndStopsByItself) {
  const std::string banco = configuracao_.banco, catalogo = configuracao_.catalogo;
  AbreBanco(configuracao_.banco, BancoRelatorios::Modo::kGravacao);
  // A port that a server holds is refused to a second one.
  ServidorEmTeste ocupante(configuracao_);
  const std::string porta = ocupante.Url().substr(std::string("http://127.0.0.1:").size());
  // Status, standard output and standard error of a run with `argumentos`.
  const auto executa = [&](const std::vector<std::string>& argumentos) {
    const auto resultado = teste::Executa(teste::PastaBinarios() / "servidor_referencia",
                                          argumentos, pasta_.Caminho());
    return std::to_string(resultado.status) + "|" + resultado.saida + "|" + resultado.erros;
  };
  EXPECT_EQ(executa({"--lista", "--banco", banco}), "0|nenhum relatório\n|");
  EXPECT_EQ(executa({"--lista", "--banco", pasta_.Em("nenhum.db")}),
            "1||servidor_referencia: não foi possível abrir o banco [" + pasta_.Em("nenhum.db") +
                "]: unable to open database file\n");
  EXPECT_TRUE(executa({"--lista"}).starts_with("2||uso: servidor_referencia --catalogo PASTA"));
  EXPECT_TRUE(executa({"--gera-senha", "--banco", banco}).starts_with("2||uso:"));
  // The operator's password is stored salted, in the form --operador reads.
  const auto senha = teste::Executa(teste::PastaBinarios() / "servidor_referencia",
                                    {"--gera-senha"}, pasta_.Caminho(), {}, "segredo\n");
  EXPECT_TRUE(std::regex_match(
      senha.saida, std::regex("pbkdf2-sha256\\$200000\\$[0-9a-f]{32}\\$[0-9a-f]{64}\n")))
      << senha.saida;
  EXPECT_TRUE(
      AcessoOperador(senha.saida.substr(0, senha.saida.size() - 1)).ConfereSenha("segredo"));
  EXPECT_EQ(executa({"--catalogo", catalogo, "--banco", banco, "--operador", pasta_.Em("nada")}),
            "1||servidor_referencia: não foi possível ler a senha do operador em [" +
                pasta_.Em("nada") + "]\n");
  // A mistyped catalogue would answer "no update" to every installation.
  teste::EscreveArquivo(pasta_.Caminho() / "sem-descritores" / "arquivos" / "x", "x");
  for (const auto& [errado, faltando] :
       {std::pair{pasta_.Em("catalogo"), pasta_.Em("catalogo")},
        {pasta_.Em("sem-descritores"), pasta_.Em("sem-descritores/descritores")}}) {
    EXPECT_EQ(executa({"--catalogo", errado, "--banco", banco, "--encerra-apos", "1"}),
              "1||servidor_referencia: não foi possível ler o catálogo [" + errado +
                  "]: a pasta [" + faltando + "] não existe\n");
  }
  EXPECT_EQ(executa({"--catalogo", catalogo, "--banco", banco, "--porta", porta}),
            "1||servidor_referencia: não foi possível ouvir em 127.0.0.1:" + porta + "\n");
  const std::string sozinho =
      executa({"--catalogo", catalogo, "--banco", banco, "--encerra-apos", "1"});
  EXPECT_TRUE(sozinho.starts_with("0|ouvindo em http://127.0.0.1:")) << sozinho;
  EXPECT_TRUE(sozinho.ends_with(" servidor parado\n|")) << sozinho;
}

}  // namespace
}  // namespace tarvik::referencia
