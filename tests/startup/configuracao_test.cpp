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

// An empty base is the program's folder.
TEST_F(ConfiguracaoTest, ConfigurationModeReadsEveryKey) {
  Ini("[Configuracao]\nversao=2.30\nid_instalador=ABC\nurl=http://h/v.aspx\nconta=1-2\ncnpj=3\n");
  const auto lidos = [] {
    const DadosInstalacao dados = LeDadosConfiguracao();
    return dados.versaoAplicativo + "|" + dados.pastaBase + "|" + dados.idInstalacao + "|" +
           dados.urlServidor + "|" + dados.conta + "|" + dados.cnpj;
  };
  EXPECT_EQ(lidos(), "2.30|" + instalacao_.Pasta().Texto() + "|ABC|http://h/v.aspx|1-2|3");
  Ini("[Configuracao]\nversao=2.31\nbase=C:\\Tarvik\n");
  EXPECT_EQ(lidos(), "2.31|C:\\Tarvik||||");
}

}  // namespace
}  // namespace tarvik
