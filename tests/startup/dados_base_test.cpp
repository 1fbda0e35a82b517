#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <regex>

#include "startup/dados_instalacao.h"
#include "startup/id_instalacao.h"
#include "support/instalacao_teste.h"

namespace tarvik {
namespace {

TEST(IdInstalacaoTest, GuidBecomes32CapitalHexDigitsWithLeadingZeros) {
  const platform::Guid guid{
      0x0000ABCD, 0x00EF, 0x4A0B, {0x80, 0x01, 0x02, 0x03, 0xA4, 0xB5, 0xC6, 0x0D}};
  EXPECT_EQ(FormataIdInstalacao(guid), "0000ABCD00EF4A0B80010203A4B5C60D");
}

class DadosBaseTest : public ::testing::Test {
 protected:
  // Runs `sql` on the application database, created when missing.
  std::string Sql(const std::string& sql) {
    std::filesystem::create_directories(instalacao_.Pasta().Em("dados"));
    sqlite3* banco = nullptr;
    sqlite3_open(Arquivo().c_str(), &banco);
    std::string lido;
    sqlite3_exec(
        banco, sql.c_str(),
        [](void* destino, int, char** valores, char**) {
          *static_cast<std::string*>(destino) += valores[0] ? valores[0] : "(null)";
          return 0;
        },
        &lido, nullptr);
    sqlite3_close(banco);
    return lido;
  }
  std::string Arquivo() const { return instalacao_.Pasta().Em("dados/Pelirana.MDB"); }
  // What LeDadosBase gives, '|' separated and the program's folder written
  // "@", or "nada".
  std::string Lidos() const {
    const auto dados = LeDadosBase();
    if (!dados) return "nada";
    return dados->versaoAplicativo + "|" +
           teste::Substitui(dados->pastaBase, instalacao_.Pasta().Texto(), "@") + "|" +
           dados->idInstalacao + "|" + dados->urlServidor + "|" + dados->conta + "|" + dados->cnpj;
  }

  teste::InstalacaoTeste instalacao_{{2026, 12, 10, 10, 0, 0}};
};

constexpr char kTabelas[] =
    "CREATE TABLE tbEmpresa (Agencia TEXT, conta TEXT, dac INTEGER, cnpjcpf TEXT);"
    "CREATE TABLE tbSistema (verProd TEXT, idInstalacao TEXT);";

// The account is agency, account and check digit in one; a new id is
// created once and stored (its log lines are read back by the runs of the
// whole program); null fields read as empty texts, and an empty id is no
// missing id.
TEST_F(DadosBaseTest, ReadsTheInstallationAndCreatesAMissingIdOnce) {
  Sql(std::string(kTabelas) +
      "INSERT INTO tbEmpresa VALUES ('0123', '45678', 9, '11222333000181');"
      "INSERT INTO tbSistema VALUES ('2.30', NULL);");
  const std::string lidos = Lidos();
  const std::string id = Sql("SELECT idInstalacao FROM tbSistema");
  EXPECT_TRUE(std::regex_match(id, std::regex("[0-9A-F]{32}")));
  EXPECT_EQ(lidos, "2.30|@|" + id + "|" + kUrlProducao + "|0123456789|11222333000181");
  EXPECT_EQ(Lidos(), lidos);
  Sql("DELETE FROM tbEmpresa; UPDATE tbSistema SET verProd = NULL, idInstalacao = '';");
  EXPECT_EQ(Lidos(), "|@||" + std::string(kUrlProducao) + "||");
  Sql("INSERT INTO tbEmpresa VALUES (NULL, NULL, NULL, NULL);");
  EXPECT_EQ(Lidos(), "|@||" + std::string(kUrlProducao) + "||");
}

TEST_F(DadosBaseTest, EachFailureIsLoggedAndGivesNothing) {
  const std::pair<std::string, const char*> casos[] = {
      {"CREATE TABLE tbSistema (verProd TEXT, idInstalacao TEXT);",
       "ERRO - Erro na consulta dos dados da empresa"},
      {"CREATE TABLE tbEmpresa (Agencia, conta, dac, cnpjcpf);",
       "ERRO - Erro na consulta dos dados do sistema"},
      {kTabelas, "ERRO - Sem informação de sistema"},
      {std::string(kTabelas) +
           "INSERT INTO tbSistema VALUES ('2.30', NULL); CREATE TRIGGER recusa BEFORE UPDATE ON "
           "tbSistema BEGIN SELECT RAISE(ABORT, 'não'); END;",
       "INFO - Gerando novo id de instalação\nERRO - Erro atualizando o id do sistema"}};
  for (const auto& [sql, linhas] : casos) {
    std::filesystem::remove(Arquivo());
    std::filesystem::remove(instalacao_.Pasta().Em("registro.log"));
    Sql(sql);
    EXPECT_EQ(Lidos(), "nada");
    EXPECT_EQ(instalacao_.TextoRegistro(),
              "\nINFO - Acessando informação na base\n" + std::string(linhas) + "\n");
  }
  teste::EscreveArquivo(Arquivo(), "Standard Jet DB");
  EXPECT_EQ(Lidos(), "nada");
  EXPECT_TRUE(instalacao_.TextoRegistro().ends_with("\nERRO - Erro abrindo a base\n"));
}

}  // namespace
}  // namespace tarvik
