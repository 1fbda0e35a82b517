#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/acesso_dados.h"
#include "support/erro_teste.h"
#include "support/pasta_temporaria.h"

namespace tarvik {
namespace {

// The POSIX component reads the application database as an SQLite file,
// found by its name without regard to case; it never creates one.
TEST(AcessoDadosSqliteTest, RunsTheQueriesAndTheUpdateOfTheStartUp) {
  teste::PastaTemporaria pasta;
  const auto abre = [&pasta] {
    auto banco = CriaAcessoDadosDaPlataforma();
    banco->CaminhoBanco(pasta.Texto() + "\\Dados\\");
    banco->NomeBanco("pelirana.mdb");
    return banco->Abre() ? std::move(banco) : nullptr;
  };
  std::filesystem::create_directory(pasta.Em("dados"));
  EXPECT_EQ(abre(), nullptr);
  teste::EscreveArquivo(pasta.Em("dados/Pelirana.MDB"), "Standard Jet DB");
  EXPECT_EQ(abre(), nullptr);
  std::filesystem::remove(pasta.Em("dados/Pelirana.MDB"));
  EXPECT_TRUE(std::filesystem::is_empty(pasta.Em("dados")));

  sqlite3* arquivo = nullptr;
  sqlite3_open(pasta.Em("dados/Pelirana.MDB").c_str(), &arquivo);
  sqlite3_exec(arquivo,
               "CREATE TABLE tbSistema (verProd TEXT, idInstalacao TEXT, dac INTEGER);"
               "INSERT INTO tbSistema VALUES ('2.30', NULL, 9);"
               "CREATE TABLE tbTrava (x); CREATE TRIGGER recusa BEFORE UPDATE ON tbTrava "
               "BEGIN SELECT RAISE(ABORT, 'não'); END; INSERT INTO tbTrava VALUES (1);",
               nullptr, nullptr, nullptr);
  sqlite3_close(arquivo);
  const auto banco = abre();
  ASSERT_NE(banco, nullptr);
  int32_t n = 0;
  int16_t m = 0;
  EXPECT_EQ(banco->ExecutaComando("UPDATE tbSistema SET verProd = '2.31'", n, m), 1);
  EXPECT_EQ(banco->ExecutaComando("UPDATE tbTrava SET x = 2", n, m), 0);
  std::unique_ptr<Registros> registros;
  EXPECT_FALSE(banco->Consulta("SELECT x FROM tbNenhuma", n, registros));
  ASSERT_TRUE(banco->Consulta("SELECT verProd, idInstalacao, dac FROM tbSistema", n, registros));
  EXPECT_EQ(registros->RecordCount(), 1);
  EXPECT_EQ(registros->Campo("VERPROD").value_or("(null)") +
                registros->Campo("idinstalacao").value_or("(null)") +
                registros->Campo("dac").value_or("(null)"),
            "2.31(null)9");
  EXPECT_EQ(teste::ErroDe([&] { registros->Campo("nada"); }),
            "5|Registros:Campo|Chamada de procedimento ou argumento inválido [nada]");
  EXPECT_TRUE(banco->Fecha());
}

}  // namespace
}  // namespace tarvik
