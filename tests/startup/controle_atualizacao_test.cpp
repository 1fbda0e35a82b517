#include "startup/controle_atualizacao.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/instalacao_teste.h"

namespace tarvik {
namespace {

class ControleAtualizacaoTest : public ::testing::Test {
 protected:
  std::string Controle() const { return instalacao_.Pasta().Em("dados/atualiza.txt"); }

  teste::InstalacaoTeste instalacao_{{2026, 12, 9, 0, 1, 0}};
};

// Calendar days count, in either direction (a clock set back); a control
// file that is a folder is judged by its date too.
TEST_F(ControleAtualizacaoTest, CheckFallsDueAfterTwoCalendarDays) {
  const std::pair<DataHora, const char*> casos[] = {
      {{2026, 12, 9, 0, 0, 30}, "\nINFO - Atualização não necessária agora. Será em 2 dia(s)\n"},
      {{2026, 12, 8, 23, 59, 0}, "\nINFO - Atualização não necessária agora. Será em 1 dia(s)\n"},
      {{2026, 12, 10, 23, 0, 0}, "\nINFO - Atualização não necessária agora. Será em 1 dia(s)\n"},
      {{2026, 12, 7, 23, 59, 0}, "\n"},
      {{2026, 12, 11, 0, 0, 0}, "\n"},
      {{2019, 1, 1, 12, 0, 0}, "\n"}};
  for (const auto& [escrito, registro] : casos) {
    std::filesystem::remove(instalacao_.Pasta().Em("registro.log"));
    teste::EscreveArquivo(Controle(), "[ControleAtualizador]\r\n");
    teste::DefineDataModificacao(Controle(), escrito);
    EXPECT_EQ(VerificaControleAtualizacao(), registro == std::string("\n")) << escrito.dia;
    EXPECT_EQ(instalacao_.TextoRegistro(), registro);
  }
  std::filesystem::remove(Controle());
  std::filesystem::create_directory(Controle());
  teste::DefineDataModificacao(Controle(), {2026, 12, 1, 8, 0, 0});
  EXPECT_TRUE(VerificaControleAtualizacao());
}

// Without the data folder nothing is written.
TEST_F(ControleAtualizacaoTest, CreationWritesTheMarkerLine) {
  CriaControleAtualizacao();
  EXPECT_FALSE(std::filesystem::exists(instalacao_.Pasta().Em("dados")));
  std::filesystem::create_directory(instalacao_.Pasta().Em("dados"));
  CriaControleAtualizacao();
  EXPECT_EQ(teste::LeArquivo(Controle()), "[ControleAtualizador]\r\n");
  EXPECT_EQ(instalacao_.TextoRegistro(),
            "\nAVISO - Criando arquivo de marcação do atualizador"
            "\nAVISO - Criando arquivo de marcação do atualizador\n");
}

}  // namespace
}  // namespace tarvik
