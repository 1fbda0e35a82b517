#include "platform/process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "base/erro.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"

namespace tarvik::platform {
namespace {

namespace fs = std::filesystem;

TEST(ProcessTest, ProgramFolderIsTheExecutablesFolderWithoutSeparator) {
  EXPECT_EQ(fs::path(ExecutableFolder()), fs::canonical(teste::PastaBinarios()));
  EXPECT_EQ(CurrentProcessId(), static_cast<uint32_t>(::getpid()));
}

class StartProgramTest : public ::testing::Test {
 protected:
  StartProgramTest() : programa_(pasta_.Texto()) {
    // A stand-in program that records its arguments.
    teste::EscreveArquivo(pasta_.Em("Pelirana.exe"),
                          "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/executou\"\n");
    fs::permissions(pasta_.Em("Pelirana.exe"), fs::perms::owner_all);
  }

  teste::PastaTemporaria pasta_;
  ScopedTestProgramFolder programa_;
};

TEST_F(StartProgramTest, BareNameIsFoundInTheProgramFolderWithoutRegardToCase) {
  StartProgram("pelirana.exe 4.00 \"a b\"");
  ASSERT_TRUE(teste::AguardaArquivo(pasta_.Em("executou")));
  // The file appears before the line is written; wait for the whole line.
  for (int i = 0; i < 500 && teste::LeArquivo(pasta_.Em("executou")).empty(); ++i) usleep(10000);
  EXPECT_EQ(teste::LeArquivo(pasta_.Em("executou")), "4.00 a b\n");
}

TEST_F(StartProgramTest, MissingProgramRaisesFileNotFound) {
  try {
    StartProgram("inexistente.exe");
    FAIL();
  } catch (const Erro& erro) {
    EXPECT_EQ(erro.Numero(), 53);
    EXPECT_EQ(erro.Descricao(), "Arquivo não encontrado [inexistente.exe]");
  }
}

}  // namespace
}  // namespace tarvik::platform
