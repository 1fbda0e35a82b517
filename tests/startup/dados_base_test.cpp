#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <regex>

#include "startup/dados_instalacao.h"
#include "startup/id_instalacao.h"
#include "support/instalacao_teste.h"

namespace tarvik {
namespace {

using Linhas = std::vector<std::string>;

constexpr char kCabecalho[] = "10/12/2026 10:00:00 - ";

TEST(IdInstalacaoTest, GuidBecomes32CapitalHexDigitsWithLeadingZeros) {
  const platform::Guid guid{0x0000ABCD, 0x00EF, 0x4A0B, {0x80, 0x01, 0x02, 0x03, 0xA4, 0xB5, 0xC6, 0x0D}};
  EXPECT_EQ(FormataIdInstalacao(guid), "0000ABCD00EF4A0B80010203A4B5C60D");
  EXPECT_TRUE(std::regex_match(GeraIdInstalacao(), std::regex("[0-9A-F]{32}")));
}

class DadosBaseTest : public ::testing::Test {
 protected:
  // Creates the application database with `sql`.
  void Banco(const std::string& sql) {
    std::filesystem::create_directories(instalacao_.Pasta().Em("dados"));
    sqlite3* banco = nullptr;
    ASSERT_EQ(sqlite3_open(Arquivo().c_str(), &banco), SQLITE_OK);
    char* erro = nullptr;
    const int rc = sqlite3_exec(banco, sql.c_str(), nullptr, nullptr, &erro);
    sqlite3_close(banco);
    ASSERT_EQ(rc, SQLITE_OK) << erro;
  }
  std::string Arquivo() const { return instalacao_.Pasta().Em("dados/Pelirana.MDB"); }

  std::string IdGuardado() {
    sqlite3* banco = nullptr;
    sqlite3_open(Arquivo().c_str(), &banco);
    sqlite3_stmt* consulta = nullptr;
    sqlite3_prepare_v2(banco, "SELECT idInstalacao FROM tbSistema", -1, &consulta, nullptr);
    std::string id;
    if (sqlite3_step(consulta) == SQLITE_ROW && sqlite3_column_text(consulta, 0)) {
      id = reinterpret_cast<const char*>(sqlite3_column_text(consulta, 0));
    }
    sqlite3_finalize(consulta);
    sqlite3_close(banco);
    return id;
  }

  static Linhas ComCabecalho(const Linhas& linhas) {
    Linhas resultado;
    for (const auto& linha : linhas) resultado.push_back(kCabecalho + linha);
    return resultado;
  }

  teste::InstalacaoTeste instalacao_{{2026, 12, 10, 10, 0, 0}};
};

constexpr char kTabelas[] =
    "CREATE TABLE tbEmpresa (Agencia TEXT, conta TEXT, dac INTEGER, cnpjcpf TEXT);"
    "CREATE TABLE tbSistema (verProd TEXT, idInstalacao TEXT);";

TEST_F(DadosBaseTest, NewIdIsCreatedOnceAndReadBackAfterwards) {
  Banco(std::string(kTabelas) +
        "INSERT INTO tbEmpresa VALUES ('0123', '45678', 9, '11222333000181');"
        "INSERT INTO tbSistema VALUES ('2.30', NULL);");
  const auto dados = LeDadosBase();
  ASSERT_TRUE(dados);
  EXPECT_EQ(dados->versaoAplicativo, "2.30");
  EXPECT_EQ(dados->conta, "0123456789");
  EXPECT_EQ(dados->cnpj, "11222333000181");
  EXPECT_EQ(dados->pastaBase, instalacao_.Pasta().Texto());
  EXPECT_EQ(dados->urlServidor, "https://atualizacao.tarvik.com.br/tarvik/VerificaAtualizacao.aspx");
  EXPECT_TRUE(std::regex_match(dados->idInstalacao, std::regex("[0-9A-F]{32}")));
  EXPECT_EQ(IdGuardado(), dados->idInstalacao);

  const auto segunda = LeDadosBase();
  ASSERT_TRUE(segunda);
  EXPECT_EQ(segunda->idInstalacao, dados->idInstalacao);
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            ComCabecalho({"INFO - Acessando informação na base",
                          "INFO - Gerando novo id de instalação",
                          "INFO - Acessando informação na base"}));
}

TEST_F(DadosBaseTest, EmptyCompanyAndNullFieldsGiveEmptyTexts) {
  Banco(std::string(kTabelas) + "INSERT INTO tbSistema VALUES (NULL, '');");
  const auto dados = LeDadosBase();
  ASSERT_TRUE(dados);
  EXPECT_EQ(dados->conta, "");
  EXPECT_EQ(dados->cnpj, "");
  EXPECT_EQ(dados->versaoAplicativo, "");
  EXPECT_EQ(dados->idInstalacao, "");  // empty, not Null: no new id
  Banco("INSERT INTO tbEmpresa VALUES (NULL, NULL, NULL, NULL);");
  EXPECT_EQ(LeDadosBase()->conta, "");
}

TEST_F(DadosBaseTest, EachFailureIsLoggedAndGivesNothing) {
  struct Caso {
    std::string sql;  // empty: no database file at all
    const char* linha;
  };
  const Caso casos[] = {
      {"", "ERRO - Erro abrindo a base"},
      {"CREATE TABLE tbSistema (verProd TEXT, idInstalacao TEXT);",
       "ERRO - Erro na consulta dos dados da empresa"},
      {"CREATE TABLE tbEmpresa (Agencia, conta, dac, cnpjcpf);",
       "ERRO - Erro na consulta dos dados do sistema"},
      {kTabelas, "ERRO - Sem informação de sistema"},
  };
  for (const Caso& caso : casos) {
    std::filesystem::remove(Arquivo());
    std::filesystem::remove(instalacao_.Pasta().Em("registro.log"));
    if (!caso.sql.empty()) Banco(caso.sql);
    EXPECT_FALSE(LeDadosBase()) << caso.linha;
    EXPECT_EQ(instalacao_.LinhasRegistro(),
              ComCabecalho({"INFO - Acessando informação na base", caso.linha}));
  }
}

TEST_F(DadosBaseTest, FileThatIsNoDatabaseCannotBeOpened) {
  teste::EscreveArquivo(Arquivo(), "Standard Jet DB");
  EXPECT_FALSE(LeDadosBase());
  EXPECT_EQ(instalacao_.LinhasRegistro().back(), std::string(kCabecalho) + "ERRO - Erro abrindo a base");
}

TEST_F(DadosBaseTest, FailedIdUpdateIsLogged) {
  Banco(std::string(kTabelas) +
        "INSERT INTO tbSistema VALUES ('2.30', NULL);"
        "CREATE TRIGGER recusa BEFORE UPDATE ON tbSistema BEGIN SELECT RAISE(ABORT, 'não'); END;");
  EXPECT_FALSE(LeDadosBase());
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            ComCabecalho({"INFO - Acessando informação na base",
                          "INFO - Gerando novo id de instalação",
                          "ERRO - Erro atualizando o id do sistema"}));
}

}  // namespace
}  // namespace tarvik
