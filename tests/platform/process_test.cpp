#include "platform/process.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/erro.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"

namespace tarvik::platform {
namespace {

namespace fs = std::filesystem;

TEST(ProcessTest, BareNameIsFoundInTheProgramFolderWithoutRegardToCase) {
  teste::PastaTemporaria pasta;
  ScopedTestProgramFolder programa(pasta.Texto());
  // A stand-in program that records its arguments once they are whole.
  teste::EscreveArquivo(pasta.Em("Pelirana.exe"),
                        "#!/bin/sh\nd=$(dirname \"$0\")\necho \"$@\" > \"$d/a\" && mv \"$d/a\" "
                        "\"$d/executou\"\n");
  fs::permissions(pasta.Em("Pelirana.exe"), fs::perms::owner_all);
  StartProgram("pelirana.exe 4.00 \"a b\"");
  ASSERT_TRUE(teste::AguardaArquivo(pasta.Em("executou")));
  EXPECT_EQ(teste::LeArquivo(pasta.Em("executou")), "4.00 a b\n");
  const ResultadoPasso ausente = PassoProtegido([] { StartProgram("inexistente.exe"); });
  EXPECT_EQ(ausente.numero, 53);
  EXPECT_EQ(ausente.descricao, "Arquivo não encontrado [inexistente.exe]");
}

}  // namespace
}  // namespace tarvik::platform
