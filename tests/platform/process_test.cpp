#include "platform/process.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/erro.h"
#include "support/pasta_temporaria.h"
#include "support/plataforma_teste.h"
#include "support/processo.h"

namespace tarvik::platform {
namespace {

namespace fs = std::filesystem;

TEST(ProcessTest, BareNameIsFoundInTheProgramFolderWithoutRegardToCase) {
  teste::PastaTemporaria pasta;
  ScopedTestProgramFolder programa(pasta.Texto());
  // A stand-in program that records its arguments, built beside the tests.
  fs::copy_file(fs::path(ExecutableFolder()) / ("registra_argumentos" + teste::kExtensaoPrograma),
                pasta.Em("Pelirana.exe"));
  StartProgram("pelirana.exe 4.00 \"a b\"");
  ASSERT_TRUE(teste::Aguarda([&] { return !teste::LeArquivo(pasta.Em("executou")).empty(); }));
  EXPECT_EQ(teste::LeArquivo(pasta.Em("executou")), "4.00 a b\n");
  const ResultadoPasso ausente = PassoProtegido([] { StartProgram("inexistente.exe"); });
  EXPECT_EQ(ausente.numero, 53);
  EXPECT_EQ(ausente.descricao, "Arquivo não encontrado [inexistente.exe]");
}

}  // namespace
}  // namespace tarvik::platform
