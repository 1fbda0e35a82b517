#include "startup/configuracao.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "startup/dados_instalacao.h"
#include "support/instalacao_teste.h"

namespace tarvik {
namespace {

class ConfiguracaoTest : public ::testing::Test {
 protected:
  ConfiguracaoTest() { setenv("WINDIR", windir_.Texto().c_str(), 1); }
  ~ConfiguracaoTest() override { unsetenv("WINDIR"); }

  void Ini(const std::string& conteudo) { teste::EscreveArquivo(windir_.Em("atualizador.ini"), conteudo); }

  teste::PastaTemporaria windir_;
  teste::InstalacaoTeste instalacao_{{2026, 12, 9, 10, 0, 0}};
};

TEST_F(ConfiguracaoTest, ValuesLoseSurroundingBlanks) {
  Ini("[Configuracao]\nversao=   2.30   \nconta=\"  12345-6  \"\n");
  EXPECT_EQ(LeConfiguracao("Configuracao", "versao"), "2.30");
  EXPECT_EQ(LeConfiguracao("Configuracao", "conta"), "12345-6");
  EXPECT_EQ(LeConfiguracao("Configuracao", "url"), "");
}

TEST_F(ConfiguracaoTest, FileInTheProgramFolderIsNotRead) {
  teste::EscreveArquivo(instalacao_.Pasta().Em("atualizador.ini"), "[Configuracao]\nversao=9\n");
  EXPECT_EQ(LeConfiguracao("Configuracao", "versao"), "");
}

TEST_F(ConfiguracaoTest, ConfigurationModeReadsEveryKey) {
  Ini("[Configuracao]\nversao=2.30\nid_instalador=ABC\nurl=http://h/v.aspx\nconta=1-2\ncnpj=3\n");
  const DadosInstalacao dados = LeDadosConfiguracao();
  EXPECT_EQ(dados.versaoAplicativo, "2.30");
  EXPECT_EQ(dados.pastaBase, instalacao_.Pasta().Texto());  // empty base: the program's folder
  EXPECT_EQ(dados.idInstalacao, "ABC");
  EXPECT_EQ(dados.urlServidor, "http://h/v.aspx");
  EXPECT_EQ(dados.conta, "1-2");
  EXPECT_EQ(dados.cnpj, "3");
  Ini("[Configuracao]\nversao=2.30\nbase=C:\\Tarvik\n");
  EXPECT_EQ(LeDadosConfiguracao().pastaBase, "C:\\Tarvik");
  EXPECT_EQ(LeDadosConfiguracao().urlServidor, "");
}

}  // namespace
}  // namespace tarvik
