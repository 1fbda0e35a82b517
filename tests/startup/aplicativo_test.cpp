#include "startup/aplicativo.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/instalacao_teste.h"
#include "support/processo.h"

namespace tarvik {
namespace {

class AplicativoTest : public ::testing::Test {
 protected:
  teste::InstalacaoTeste instalacao_{{2026, 12, 9, 10, 0, 0}};
};

TEST_F(AplicativoTest, StartsTheMainApplicationFromTheProgramFolder) {
  teste::EscreveArquivo(instalacao_.Pasta().Em("pelirana.exe"),
                        "#!/bin/sh\ntouch \"$(dirname \"$0\")/executou\"\n");
  std::filesystem::permissions(instalacao_.Pasta().Em("pelirana.exe"),
                               std::filesystem::perms::owner_all);
  testing::internal::CaptureStderr();
  ExecutaAplicativo();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(teste::AguardaArquivo(instalacao_.Pasta().Em("executou")));
}

TEST_F(AplicativoTest, MissingApplicationShowsTheNoticeAndLogsNothing) {
  testing::internal::CaptureStderr();
  ExecutaAplicativo();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Atualizador TARVIK - Erro\nNão foi possível encontrar o programa TARVIK\n");
  EXPECT_TRUE(instalacao_.LinhasRegistro().empty());
}

}  // namespace
}  // namespace tarvik
