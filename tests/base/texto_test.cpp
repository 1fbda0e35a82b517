#include "base/texto.h"

#include <gtest/gtest.h>

#include <string>

#include "base/cp1252.h"
#include "base/data_hora.h"
#include "base/url_pedido.h"

namespace tarvik {
namespace {

// × and ÷ are no letters.
TEST(TextoTest, ComparisonIgnoresCaseOfAsciiAndAccentedLetters) {
  const std::tuple<const char*, const char*, bool> casos[] = {{"Tarvik.EXE", "tarvik.exe", true},
                                                              {"AÇÃO", "ação", true},
                                                              {"Dados", "dados ", false},
                                                              {"a×b", "a÷b", false},
                                                              {"x[y", "x{y", false},
                                                              {"", "", true}};
  for (const auto& [a, b, iguais] : casos) {
    EXPECT_EQ(IgualSemCaixa(a, b), iguais) << a << " ~ " << b;
    EXPECT_EQ(DobraCaixa(a) == DobraCaixa(b), iguais) << a << " ~ " << b;
  }
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
  EXPECT_EQ(UrlParaPedido("http://h:8080/v.aspx?operacao=resultado&conta=1-2&cnpj=a%b"),
            "http://h:8080/v.aspx?operacao=resultado&conta=1-2&cnpj=a%b");
  EXPECT_EQ(UrlParaPedido("http://h/v?conta=Loja & Cia\t\"x\"|{}"),
            "http://h/v?conta=Loja%20&%20Cia%09%22x%22%7C%7B%7D");
  EXPECT_EQ(UrlParaPedido("http://h/v?conta=João"), "http://h/v?conta=Jo%C3%A3o");
}

// At midnight the general format shows only the date.
TEST(DataHoraTest, GeneralFormatIsDayMonthYearAndTime) {
  EXPECT_EQ(FormataDataHoraGeral({2026, 12, 4, 4, 29, 3}), "04/12/2026 04:29:03");
  EXPECT_EQ(FormataDataHoraGeral({2026, 1, 31, 23, 0, 0}), "31/01/2026 23:00:00");
  EXPECT_EQ(FormataDataHoraGeral({2026, 12, 7, 0, 0, 0}), "07/12/2026");
  EXPECT_EQ(FormataDataHoraGeral({2026, 12, 7, 0, 0, 1}), "07/12/2026 00:00:01");
}

// Sunday is 0.
TEST(DataHoraTest, WeekdaysAndDaysBetweenAcrossYears) {
  EXPECT_EQ((DataHora{2026, 12, 7}).DiaDaSemana(), 1);
  EXPECT_EQ((DataHora{2026, 12, 6}).DiaDaSemana(), 0);
  EXPECT_EQ((DataHora{2024, 2, 29}).DiaDaSemana(), 4);
  EXPECT_EQ((DataHora{1969, 12, 31}).DiaDaSemana(), 3);
  EXPECT_EQ((DataHora{2000, 1, 1}).DiaDaSemana(), 6);
  EXPECT_EQ(DiasEntre({2026, 12, 6, 23, 59, 0}, {2026, 12, 7, 0, 1, 0}), 1);
  EXPECT_EQ(DiasEntre({2026, 12, 7, 0, 0, 0}, {2026, 12, 7, 23, 59, 59}), 0);
  EXPECT_EQ(DiasEntre({2026, 12, 9, 8, 0, 0}, {2026, 12, 7, 9, 0, 0}), 2);
  EXPECT_EQ(DiasEntre({2024, 2, 28}, {2024, 3, 1}), 2);
  EXPECT_EQ(DiasEntre({2025, 12, 31}, {2026, 1, 1}), 1);
}

}  // namespace
}  // namespace tarvik
