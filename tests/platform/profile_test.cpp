#include "platform/profile.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "support/pasta_temporaria.h"

namespace tarvik::platform {
namespace {

using namespace std::string_literals;

class ProfileTest : public ::testing::Test {
 protected:
  ProfileTest() {
    anterior_ = getenv("WINDIR") ? getenv("WINDIR") : "";
    setenv("WINDIR", pasta_.Texto().c_str(), 1);
  }
  ~ProfileTest() override {
    if (anterior_.empty()) {
      unsetenv("WINDIR");
    } else {
      setenv("WINDIR", anterior_.c_str(), 1);
    }
  }

  void Ini(const std::string& conteudo) { teste::EscreveArquivo(pasta_.Em("Atualizador.INI"), conteudo); }
  static std::string Le(const std::string& secao, const std::string& chave) {
    return ReadProfileString(secao, chave, "", "atualizador.ini", 1024);
  }

  teste::PastaTemporaria pasta_;
  std::string anterior_;
};

TEST_F(ProfileTest, ReadsFromTheWindowsDirectoryOnly) {
  EXPECT_EQ(WindowsDirectory(), pasta_.Texto());
  EXPECT_EQ(Le("Configuracao", "versao"), "");
  Ini("[Configuracao]\r\nversao=2.30\r\n");
  EXPECT_EQ(Le("Configuracao", "versao"), "2.30");
  EXPECT_EQ(ReadProfileString("Configuracao", "nada", "padrão", "atualizador.ini", 1024), "padrão");
}

TEST_F(ProfileTest, ValuesFollowTheProfileRules) {
  Ini("; comentário\n"
      "[Outra]\nversao=errada\n"
      "[ configuracao ]\n"
      "  VERSAO  =  2.30  \n"
      "url=\"http://h/x.aspx\"\n"
      "conta='12345-6'\n"
      "cnpj=\"meia aspa\n"
      "base=C:\\App\\ \n"
      "versao=segunda\n"
      "[Configuracao]\nid_instalador=segunda seção\n"
      "semigual\n");
  EXPECT_EQ(Le("Configuracao", "versao"), "2.30");
  EXPECT_EQ(Le("Configuracao", "url"), "http://h/x.aspx");
  EXPECT_EQ(Le("Configuracao", "conta"), "12345-6");
  EXPECT_EQ(Le("Configuracao", "cnpj"), "\"meia aspa");
  EXPECT_EQ(Le("Configuracao", "base"), "C:\\App\\");
  EXPECT_EQ(Le("Configuracao", "id_instalador"), "");
  EXPECT_EQ(Le("Outra", "versao"), "errada");
}

TEST_F(ProfileTest, LongValueIsCutAtTheBuffer) {
  Ini("[Configuracao]\nurl=" + std::string(5000, 'u') + "\n");
  EXPECT_EQ(Le("Configuracao", "url"), std::string(1023, 'u'));
}

TEST_F(ProfileTest, AnsiAndUtf8FilesGiveTheSameText) {
  Ini("[Configuracao]\nconta=Jo\xE3o\n");
  EXPECT_EQ(Le("Configuracao", "conta"), "João");
  Ini("\xEF\xBB\xBF[Configuracao]\nconta=João\n");
  EXPECT_EQ(Le("Configuracao", "conta"), "João");
}

TEST_F(ProfileTest, BinaryGarbageGivesEmptyValues) {
  std::string lixo;
  for (int i = 0; i < 4096; ++i) lixo += static_cast<char>((i * 7919) % 256);
  Ini(lixo);
  EXPECT_EQ(Le("Configuracao", "versao"), "");
  Ini("[Configuracao]\nversao=1\0\n=2\n"s + lixo);
  EXPECT_EQ(Le("Configuracao", "versao"), "1");
}

}  // namespace
}  // namespace tarvik::platform
