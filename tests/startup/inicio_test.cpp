#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "startup/aplicativo.h"
#include "startup/configuracao.h"
#include "startup/controle_atualizacao.h"
#include "startup/dados_instalacao.h"
#include "support/instalacao_teste.h"

namespace tarvik {
namespace {

// Starting the application that is there is left to the runs of the whole
// program.
TEST(AplicativoTest, MissingApplicationShowsTheNoticeAndLogsNothing) {
  teste::InstalacaoTeste instalacao({2026, 12, 9, 10, 0, 0});
  testing::internal::CaptureStderr();
  ExecutaAplicativo();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Atualizador TARVIK - Erro\nNão foi possível encontrar o programa TARVIK\n");
  EXPECT_EQ(instalacao.TextoRegistro(), "\n");
}

class ConfiguracaoTest : public ::testing::Test {
 protected:
  ConfiguracaoTest() { setenv("WINDIR", windir_.Texto().c_str(), 1); }
  ~ConfiguracaoTest() override { unsetenv("WINDIR"); }

  void Ini(const std::string& conteudo) {
    teste::EscreveArquivo(windir_.Em("atualizador.ini"), conteudo);
  }

  teste::PastaTemporaria windir_;
  teste::InstalacaoTeste instalacao_{{2026, 12, 9, 10, 0, 0}};
};

// Only the file in the Windows directory is read, not one in the program's
// folder; blanks and quotes around a value go.
TEST_F(ConfiguracaoTest, ValuesLoseSurroundingBlanks) {
  teste::EscreveArquivo(instalacao_.Pasta().Em("atualizador.ini"), "[Configuracao]\nurl=x\n");
  Ini("[Configuracao]\nversao=   2.30   \nconta=\"  12345-6  \"\n");
  EXPECT_EQ(LeConfiguracao("Configuracao", "versao") + "|" +
                LeConfiguracao("Configuracao", "conta") + "|" +
                LeConfiguracao("Configuracao", "url"),
            "2.30|12345-6|");
}

// Which value goes where is read back by the runs of the whole program; an
// empty base is the program's folder.
TEST_F(ConfiguracaoTest, ConfigurationModeTakesAnEmptyBaseAsTheProgramsFolder) {
  Ini("[Configuracao]\nversao=2.30\nbase=\n");
  EXPECT_EQ(LeDadosConfiguracao().pastaBase, instalacao_.Pasta().Texto());
  Ini("[Configuracao]\nversao=2.31\nbase=C:\\Tarvik\n");
  EXPECT_EQ(LeDadosConfiguracao().pastaBase, "C:\\Tarvik");
}

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
