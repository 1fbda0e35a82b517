#include "platform/profile.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/pasta_windows.h"

namespace tarvik::platform {
namespace {

using namespace std::string_literals;

TEST(ProfileTest, ValuesFollowTheProfileRules) {
  teste::PastaWindowsTeste windows;
  const std::string regras =
      "; comentário\n[Outra]\nversao=errada\n[ configuracao ]\n  VERSAO  =  2.30  \n"
      "url=\"http://h/x.aspx\"\nconta='12345-6'\ncnpj=\"meia aspa\nbase=C:\\App\\ \n"
      "versao=segunda\n[Configuracao]\nid_instalador=segunda seção\nsemigual\n";
  const auto utf16 = [](std::u16string_view texto) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t c : texto)
      bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
  };
  std::string lixo;
  for (int i = 0; i < 4096; ++i) lixo += static_cast<char>((i * 7919) % 256);
  const struct {
    std::string ini, secao, chave, valor;
  } casos[] = {
      {regras, "Configuracao", "versao", "2.30"},
      {regras, "Configuracao", "url", "http://h/x.aspx"},
      {regras, "Configuracao", "conta", "12345-6"},
      {regras, "Configuracao", "cnpj", "\"meia aspa"},
      {regras, "Configuracao", "base", "C:\\App\\"},
      {regras, "Configuracao", "id_instalador", ""},
      {regras, "Outra", "versao", "errada"},
      {regras, "Configuracao", "nada", ""},
      // Cut at the buffer.
      {"[Configuracao]\nurl=" + std::string(5000, 'u') + "\n", "Configuracao", "url",
       std::string(1023, 'u')},
      // ANSI, UTF-8 and UTF-16 files give the same text.
      {"[Configuracao]\nconta=Jo\xE3o\n", "Configuracao", "conta", "João"},
      {"\xEF\xBB\xBF[Configuracao]\nconta=João\n", "Configuracao", "conta", "João"},
      {utf16(u"[Configuracao]\r\nconta=João €\r\n"), "Configuracao", "conta", "João €"},
      {lixo, "Configuracao", "versao", ""},
      {"[Configuracao]\nversao=1\0\n=2\n"s + lixo, "Configuracao", "versao", "1"},
  };
  for (const auto& caso : casos) {
    // The name is looked up without regard to case.
    windows.Escreve("Atualizador.INI", caso.ini);
    EXPECT_EQ(ReadProfileString(caso.secao, caso.chave, "", "atualizador.ini", 1024), caso.valor)
        << caso.ini.substr(0, 40);
  }
}

}  // namespace
}  // namespace tarvik::platform
