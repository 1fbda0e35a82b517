#include "startup/controle_atualizacao.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/instalacao_teste.h"

namespace tarvik {
namespace {

using Linhas = std::vector<std::string>;

constexpr DataHora kAgora = {2026, 12, 9, 0, 1, 0};

class ControleAtualizacaoTest : public ::testing::Test {
 protected:
  std::string Controle() const { return instalacao_.Pasta().Em("dados/atualiza.txt"); }
  void ControleEscritoEm(const DataHora& quando) {
    teste::EscreveArquivo(Controle(), "[ControleAtualizador]\r\n");
    teste::DefineDataModificacao(Controle(), quando);
  }

  teste::InstalacaoTeste instalacao_{kAgora};
};

TEST_F(ControleAtualizacaoTest, MissingControlFileMakesTheCheckDue) {
  EXPECT_TRUE(VerificaControleAtualizacao());
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            Linhas{"09/12/2026 00:01:00 - AVISO - Arquivo de controle de atualização não existe. "
                   "Irá forçar a execução do atualizador"});
}

TEST_F(ControleAtualizacaoTest, CheckFallsDueAfterTwoCalendarDays) {
  struct Caso {
    DataHora escrito;
    bool devida;
    const char* linha;
  };
  const Caso casos[] = {
      {{2026, 12, 9, 0, 0, 30}, false, "09/12/2026 00:01:00 - INFO - Atualização não necessária agora. Será em 2 dia(s)"},
      {{2026, 12, 8, 23, 59, 0}, false, "09/12/2026 00:01:00 - INFO - Atualização não necessária agora. Será em 1 dia(s)"},
      {{2026, 12, 7, 23, 59, 0}, true, nullptr},
      {{2026, 12, 10, 23, 0, 0}, false, "09/12/2026 00:01:00 - INFO - Atualização não necessária agora. Será em 1 dia(s)"},
      {{2026, 12, 11, 0, 0, 0}, true, nullptr},  // clock set back two days
      {{2019, 1, 1, 12, 0, 0}, true, nullptr},
  };
  for (const Caso& caso : casos) {
    std::filesystem::remove(instalacao_.Pasta().Em("registro.log"));
    ControleEscritoEm(caso.escrito);
    EXPECT_EQ(VerificaControleAtualizacao(), caso.devida) << caso.escrito.dia;
    EXPECT_EQ(instalacao_.LinhasRegistro(), caso.linha ? Linhas{caso.linha} : Linhas{});
  }
}

TEST_F(ControleAtualizacaoTest, ControlFileThatIsAFolderIsJudgedByItsDate) {
  std::filesystem::create_directories(Controle());
  teste::DefineDataModificacao(Controle(), {2026, 12, 1, 8, 0, 0});
  EXPECT_TRUE(VerificaControleAtualizacao());
}

TEST_F(ControleAtualizacaoTest, CreationWritesTheMarkerLine) {
  std::filesystem::create_directory(instalacao_.Pasta().Em("dados"));
  CriaControleAtualizacao();
  EXPECT_EQ(teste::LeArquivo(instalacao_.Pasta().Em("dados/atualiza.txt")), "[ControleAtualizador]\r\n");
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            Linhas{"09/12/2026 00:01:00 - AVISO - Criando arquivo de marcação do atualizador"});
  teste::DefineDataModificacao(Controle(), kAgora);
  EXPECT_FALSE(VerificaControleAtualizacao());
}

TEST_F(ControleAtualizacaoTest, CreationWithoutDataFolderWritesNothing) {
  EXPECT_NO_THROW(CriaControleAtualizacao());
  EXPECT_FALSE(std::filesystem::exists(instalacao_.Pasta().Em("dados")));
}

}  // namespace
}  // namespace tarvik
