#include "base/texto.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(TextoTest, ComparisonIgnoresCaseOfAsciiAndAccentedLetters) {
  struct Caso {
    const char* a;
    const char* b;
    bool iguais;
  };
  const Caso casos[] = {
      {"Tarvik.EXE", "tarvik.exe", true}, {"AÇÃO", "ação", true},
      {"Dados", "dados ", false},         {"a×b", "a÷b", false},  // × and ÷ are no letters
      {"x[y", "x{y", false},              {"", "", true},
  };
  for (const Caso& caso : casos) {
    EXPECT_EQ(IgualSemCaixa(caso.a, caso.b), caso.iguais) << caso.a << " ~ " << caso.b;
    EXPECT_EQ(DobraCaixa(caso.a) == DobraCaixa(caso.b), caso.iguais) << caso.a << " ~ " << caso.b;
  }
}

TEST(TextoTest, OnlySpacesAreRemoved) {
  EXPECT_EQ(RemoveEspacos("  a b  "), "a b");
  EXPECT_EQ(RemoveEspacos("\ta\t"), "\ta\t");
  EXPECT_EQ(RemoveEspacos("   "), "");
}

}  // namespace
}  // namespace tarvik
