#include "descriptor/caminhos.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

struct CasoInstalado {
  const char* base;
  const char* destino;
  const char* arquivo;
  const char* caminho;
};

class ObtemNomeArquivoInstaladoTest : public testing::TestWithParam<CasoInstalado> {};

TEST_P(ObtemNomeArquivoInstaladoTest, ReplacesTheMarkerAndAppends) {
  const auto& caso = GetParam();
  EXPECT_EQ(ObtemNomeArquivoInstalado(caso.base, caso.destino, caso.arquivo), caso.caminho);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ObtemNomeArquivoInstaladoTest,
    testing::Values(CasoInstalado{"C:\\app", "$base$\\dados\\", "x.mdb", "C:\\app\\dados\\x.mdb"},
                    CasoInstalado{"C:\\app", "$BASE$\\", "x.mdb", "$BASE$\\x.mdb"},
                    CasoInstalado{"C:\\app", "$base$\\$base$\\", "x", "C:\\app\\C:\\app\\x"},
                    CasoInstalado{"C:\\app", "modulos", "x.dll", "modulosx.dll"},
                    // The base folder may itself hold the marker: it is not replaced again.
                    CasoInstalado{"$base$", "$base$$base$\\", "x", "$base$$base$\\x"},
                    CasoInstalado{"C:\\app", "", "x.dll", "x.dll"}));

TEST(ObtemNomeArquivoTemporarioTest, JoinsNameVersionAndIndex) {
  EXPECT_EQ(ObtemNomeArquivoTemporario("temp\\", "app.dll", "4.1", 3), "temp\\app.dll-4.1-3");
  EXPECT_EQ(ObtemNomeArquivoTemporario("backup\\", "app.dll", "", 12), "backup\\app.dll--12");
  EXPECT_EQ(ObtemNomeArquivoTemporario("temp\\", "a", "1", -2), "temp\\a-1--2");
}

struct CasoCombina {
  const char* pasta;
  const char* caminho;
  const char* resultado;
};

class CombinaCaminhoTest : public testing::TestWithParam<CasoCombina> {};

TEST_P(CombinaCaminhoTest, JoinsWithOneBackslashAtLeast) {
  EXPECT_EQ(CombinaCaminho(GetParam().pasta, GetParam().caminho), GetParam().resultado);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, CombinaCaminhoTest,
    testing::Values(CasoCombina{"C:\\app", "temp\\", "C:\\app\\temp\\"},
                    CasoCombina{"C:\\app\\", "temp\\", "C:\\app\\temp\\"},
                    CasoCombina{"C:\\app", "\\temp\\", "C:\\app\\temp\\"},
                    CasoCombina{"C:\\app\\", "\\temp\\", "C:\\app\\\\temp\\"},
                    CasoCombina{"  C:\\app  ", "  temp\\ ", "C:\\app\\temp\\"},
                    CasoCombina{"\tC:\\app", "temp\\\t", "\tC:\\app\\temp\\\t"},
                    CasoCombina{"C:\\app", "", "C:\\app\\"}, CasoCombina{"", "", "\\"}));

}  // namespace
}  // namespace tarvik
