#include <gtest/gtest.h>

#include <filesystem>

#include "startup/aplicativo.h"
#include "startup/configuracao.h"
#include "startup/controle_atualizacao.h"
#include "startup/dados_instalacao.h"
#include "support/aviso_teste.h"
#include "support/instalacao_teste.h"
#include "support/pasta_windows.h"

namespace tarvik {
namespace {

// An installation whose clock shows 09/12/2026 00:01 and whose Windows
// directory holds what `Ini` writes.
class InicioTest : public ::testing::Test {
 protected:
  void Ini(const std::string& conteudo) { windir_.Escreve("atualizador.ini", conteudo); }
  std::string Em(const std::string& relativo) const { return instalacao_.Pasta().Em(relativo); }

  teste::PastaWindowsTeste windir_;
  teste::InstalacaoTeste instalacao_{{2026, 12, 9, 0, 1, 0}};
};

// Starting the application that is there is left to the runs of the whole
// program.
TEST_F(InicioTest, MissingApplicationShowsTheNoticeAndLogsNothing) {
  teste::AvisosCapturados avisos;
  ExecutaAplicativo();
  EXPECT_EQ(avisos.Texto(),
            "Atualizador TARVIK - Erro\nNão foi possível encontrar o programa TARVIK\n");
  EXPECT_EQ(instalacao_.TextoRegistro(), "\n");
}

// Only the file in the Windows directory is read, not one in the program's
// folder; blanks and quotes around a value go; an empty base is the
// program's folder. Which value goes where is read back by the runs of the
// whole program.
TEST_F(InicioTest, ConfigurationValuesLoseSurroundingBlanks) {
  teste::EscreveArquivo(Em("atualizador.ini"), "[Configuracao]\nurl=x\n");
  Ini("[Configuracao]\nversao=   2.30   \nconta=\"  12345-6  \"\nbase=\n");
  EXPECT_EQ(LeConfiguracao("Configuracao", "versao") + "|" +
                LeConfiguracao("Configuracao", "conta") + "|" +
                LeConfiguracao("Configuracao", "url"),
            "2.30|12345-6|");
  EXPECT_EQ(LeDadosConfiguracao().pastaBase, instalacao_.Pasta().Texto());
  Ini("[Configuracao]\nversao=2.31\nbase=C:\\Tarvik\n");
  EXPECT_EQ(LeDadosConfiguracao().pastaBase, "C:\\Tarvik");
}

// Calendar days count, in either direction (a clock set back); a control
// file that is a folder is judged by its date too.
TEST_F(InicioTest, CheckFallsDueAfterTwoCalendarDays) {
  const std::string dias = "\nINFO - Atualização não necessária agora. Será em ";
  const std::pair<DataHora, std::string> casos[] = {{{2026, 12, 9, 0, 0, 30}, dias + "2 dia(s)\n"},
                                                    {{2026, 12, 8, 23, 59, 0}, dias + "1 dia(s)\n"},
                                                    {{2026, 12, 10, 23, 0, 0}, dias + "1 dia(s)\n"},
                                                    {{2026, 12, 7, 23, 59, 0}, "\n"},
                                                    {{2026, 12, 11, 0, 0, 0}, "\n"},
                                                    {{2019, 1, 1, 12, 0, 0}, "\n"}};
  for (const auto& [escrito, registro] : casos) {
    std::filesystem::remove(Em("registro.log"));
    teste::EscreveArquivo(Em("dados/atualiza.txt"), "[ControleAtualizador]\r\n");
    teste::DefineDataModificacao(Em("dados/atualiza.txt"), escrito);
    EXPECT_EQ(VerificaControleAtualizacao(), registro == "\n") << escrito.dia;
    EXPECT_EQ(instalacao_.TextoRegistro(), registro);
  }
  std::filesystem::remove(Em("dados/atualiza.txt"));
  std::filesystem::create_directory(Em("dados/atualiza.txt"));
  teste::DefineDataModificacao(Em("dados/atualiza.txt"), {2026, 12, 1, 8, 0, 0});
  EXPECT_TRUE(VerificaControleAtualizacao());
}

// Without the data folder nothing is written.
TEST_F(InicioTest, ControlFileCreationWritesTheMarkerLine) {
  CriaControleAtualizacao();
  EXPECT_FALSE(std::filesystem::exists(Em("dados")));
  std::filesystem::create_directory(Em("dados"));
  CriaControleAtualizacao();
  EXPECT_EQ(teste::LeArquivo(Em("dados/atualiza.txt")), "[ControleAtualizador]\r\n");
  EXPECT_EQ(instalacao_.TextoRegistro(),
            "\nAVISO - Criando arquivo de marcação do atualizador"
            "\nAVISO - Criando arquivo de marcação do atualizador\n");
}

}  // namespace
}  // namespace tarvik
