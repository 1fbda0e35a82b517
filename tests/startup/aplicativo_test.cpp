#include "startup/aplicativo.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tarvik
