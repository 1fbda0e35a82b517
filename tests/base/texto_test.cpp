#include "base/texto.h"

#include <gtest/gtest.h>

#include <string>

#include "base/cp1252.h"
#include "base/data_hora.h"
#include "base/url_pedido.h"

namespace tarvik {
namespace {

// "1" when both ways of comparing say equal, "0" when both say different;
// × and ÷ are no letters.
TEST(TextoTest, ComparisonIgnoresCaseOfAsciiAndAccentedLetters) {
  const auto compara = [](const char* a, const char* b) {
    const bool igual = IgualSemCaixa(a, b);
    return igual != (DobraCaixa(a) == DobraCaixa(b)) ? "?" : igual ? "1" : "0";
  };
  EXPECT_EQ(std::string(compara("Tarvik.EXE", "tarvik.exe")) + compara("AÇÃO", "ação") +
                compara("", "") + compara("Dados", "dados ") + compara("a×b", "a÷b") +
                compara("x[y", "x{y"),
            "111000");
}

// Unrepresentable characters and malformed sequences (cut, overlong,
// surrogate) become question marks; every byte decodes and encodes back.
TEST(Cp1252Test, EncodesLatinLettersAndTheWindowsRangeAndDecodesEveryByte) {
  EXPECT_EQ(ParaCp1252("Versão € “x” — … ÿ"), "Vers\xE3o \x80 \x93x\x94 \x97 \x85 \xFF");
  EXPECT_EQ(ParaCp1252("a\u4E2Db|a\U0001F600b|a\xC3|a\xC0\x80z|\xED\xA0\x80|\xFFx"),
            "a?b|a?b|a?|a?z|?|?x");
  std::string todos;
  for (int b = 0; b < 256; ++b) todos += static_cast<char>(b);
  EXPECT_EQ(ParaCp1252(DeCp1252(todos)), todos);
  // An undefined byte is a C1 control.
  EXPECT_EQ(DeCp1252("\x80|\x81|ok\xE7"), "€|\xC2\x81|okç");
}

TEST(UrlPedidoTest, OnlyWhatCannotStandInARequestLineIsEncoded) {
  EXPECT_EQ(UrlParaPedido("http://h:8080/v.aspx?conta=Loja & Cia\t\"x\"|{}-2&cnpj=a%b"),
            "http://h:8080/v.aspx?conta=Loja%20&%20Cia%09%22x%22%7C%7B%7D-2&cnpj=a%b");
  EXPECT_EQ(UrlParaPedido("http://h/v?conta=João"), "http://h/v?conta=Jo%C3%A3o");
}

// At midnight the general format shows only the date. Sunday is 0. The
// common cases are read back through the log and the check schedule.
TEST(DataHoraTest, FormatWeekdaysAndDaysBetweenAcrossYears) {
  EXPECT_EQ(FormataDataHoraGeral({2026, 1, 31, 23, 0, 0}), "31/01/2026 23:00:00");
  EXPECT_EQ(FormataDataHoraGeral({2026, 12, 7, 0, 0, 1}), "07/12/2026 00:00:01");
  EXPECT_EQ((DataHora{2026, 12, 6}).DiaDaSemana(), 0);
  EXPECT_EQ((DataHora{2024, 2, 29}).DiaDaSemana(), 4);
  EXPECT_EQ((DataHora{1969, 12, 31}).DiaDaSemana(), 3);
  EXPECT_EQ((DataHora{2000, 1, 1}).DiaDaSemana(), 6);
  EXPECT_EQ(DiasEntre({2024, 2, 28}, {2024, 3, 1}), 2);
  EXPECT_EQ(DiasEntre({2025, 12, 31}, {2026, 1, 1}), 1);
}

}  // namespace
}  // namespace tarvik
