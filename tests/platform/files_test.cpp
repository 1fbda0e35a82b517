#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/erro.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"

namespace tarvik::platform {
namespace {

using teste::EscreveArquivo;
using teste::LeArquivo;
namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  // The number of the `Erro` that `operacao` raises; 0 when it raises none.
  template <typename Operacao>
  static int32_t NumeroDoErro(Operacao&& operacao) {
    return PassoProtegido(operacao).numero;
  }

  teste::PastaTemporaria pasta_;
};

TEST_F(FilesTest, BackslashesAndLetterCaseReachTheSameFile) {
  EscreveArquivo(pasta_.Em("Dados/Atualiza.TXT"), "x");
  const std::string windows = pasta_.Texto() + "\\dados\\atualiza.txt";
  EXPECT_TRUE(PathExists(windows));
  EXPECT_EQ(NativePath(windows), pasta_.Em("Dados/Atualiza.TXT"));
  EXPECT_EQ(ReadBytes(windows), "x");
  // New names are created as given, under the folder that already exists.
  WriteBytes(pasta_.Texto() + "\\DADOS\\novo.txt", "y");
  EXPECT_EQ(LeArquivo(pasta_.Em("Dados/novo.txt")), "y");
  EXPECT_FALSE(PathExists(pasta_.Texto() + "\\nada\\x"));
}

TEST_F(FilesTest, TextIsWrittenInTheAnsiCodePage) {
  const std::string log = pasta_.Em("registro.log");
  AppendText(log, "Versão\r\n");
  AppendText(log, "ção €\r\n");
  EXPECT_EQ(LeArquivo(log), "Vers\xE3o\r\n\xE7\xE3o \x80\r\n");
  WriteText(log, "novo");
  EXPECT_EQ(LeArquivo(log), "novo");
}

TEST_F(FilesTest, FailuresCarryTheClassicNumbers) {
  fs::create_directory(pasta_.Em("pasta"));
  EscreveArquivo(pasta_.Em("cheia/a"), "a");
  EXPECT_EQ(NumeroDoErro([&] { ReadBytes(pasta_.Em("nada")); }), 53);
  EXPECT_EQ(NumeroDoErro([&] { WriteBytes(pasta_.Em("nada/x"), "x"); }), 76);
  EXPECT_EQ(NumeroDoErro([&] { AppendText(pasta_.Em("pasta"), "x"); }), 75);
  EXPECT_EQ(NumeroDoErro([&] { CreateFolder(pasta_.Em("pasta")); }), 75);
  EXPECT_EQ(NumeroDoErro([&] { CreateFolder(pasta_.Em("nada/x")); }), 76);
  EXPECT_EQ(NumeroDoErro([&] { RemoveFolder(pasta_.Em("cheia")); }), 75);
  EXPECT_EQ(NumeroDoErro([&] { RemoveFolder(pasta_.Em("nada")); }), 76);
  EXPECT_EQ(NumeroDoErro([&] { RemoveFile(pasta_.Em("nada")); }), 53);
  EXPECT_EQ(NumeroDoErro([&] { RemoveFile(pasta_.Em("pasta")); }), 75);
  EXPECT_EQ(NumeroDoErro([&] { FileLength(pasta_.Em("nada")); }), 53);
}

TEST_F(FilesTest, AttributesReportFolderFileAndReadOnly) {
  EscreveArquivo(pasta_.Em("a.dll"), "abc");
  EXPECT_EQ(GetAttributes(pasta_.Texto()), kAttributeDirectory);
  EXPECT_EQ(GetAttributes(pasta_.Em("a.dll")), kAttributeArchive);
  SetAttributes(pasta_.Em("a.dll"), kAttributeArchive | kAttributeReadOnly);
  EXPECT_EQ(GetAttributes(pasta_.Em("a.dll")), kAttributeArchive | kAttributeReadOnly);
  SetAttributes(pasta_.Em("a.dll"), kAttributeArchive);
  EXPECT_EQ(GetAttributes(pasta_.Em("a.dll")), kAttributeArchive);
  EXPECT_EQ(FileLength(pasta_.Em("a.dll")), 3);
}

TEST_F(FilesTest, ReadOnlyTargetRefusesCopyWriteAndDelete) {
  EscreveArquivo(pasta_.Em("novo"), "novo");
  EscreveArquivo(pasta_.Em("alvo"), "antigo");
  SetAttributes(pasta_.Em("alvo"), kAttributeReadOnly);
  EXPECT_EQ(NumeroDoErro([&] { CopyFileReplacing(pasta_.Em("novo"), pasta_.Em("alvo")); }), 70);
  EXPECT_EQ(NumeroDoErro([&] { WriteBytes(pasta_.Em("alvo"), "x"); }), 70);
  EXPECT_EQ(NumeroDoErro([&] { RemoveFile(pasta_.Em("alvo")); }), 70);
  EXPECT_EQ(LeArquivo(pasta_.Em("alvo")), "antigo");
}

TEST_F(FilesTest, CopyReplacesWholeAndLeavesNoTemporaryBehind) {
  const std::string grande(3 << 20, 'g');  // several copy blocks
  EscreveArquivo(pasta_.Em("novo"), grande);
  EscreveArquivo(pasta_.Em("alvo"), std::string(5 << 20, 'a'));
  CopyFileReplacing(pasta_.Em("novo"), pasta_.Em("alvo"));
  EXPECT_EQ(LeArquivo(pasta_.Em("alvo")), grande);
  EXPECT_EQ(fs::last_write_time(pasta_.Em("alvo")), fs::last_write_time(pasta_.Em("novo")));
  int arquivos = 0;
  for ([[maybe_unused]] const auto& entrada : fs::directory_iterator(pasta_.Caminho())) ++arquivos;
  EXPECT_EQ(arquivos, 2);
}

TEST_F(FilesTest, ReplacedProgramStaysRunnable) {
  EscreveArquivo(pasta_.Em("baixado"), "novo");
  fs::permissions(pasta_.Em("baixado"), fs::perms(0644));
  EscreveArquivo(pasta_.Em("pelirana.exe"), "antigo");
  fs::permissions(pasta_.Em("pelirana.exe"), fs::perms(0755));
  CopyFileReplacing(pasta_.Em("baixado"), pasta_.Em("pelirana.exe"));
  EXPECT_EQ(fs::status(pasta_.Em("pelirana.exe")).permissions(), fs::perms(0755));
  CopyFileReplacing(pasta_.Em("baixado"), pasta_.Em("novo.dll"));
  EXPECT_EQ(fs::status(pasta_.Em("novo.dll")).permissions(), fs::perms(0644));
}

TEST_F(FilesTest, FailedCopyKeepsTheTargetAndCleansUp) {
  EscreveArquivo(pasta_.Em("alvo"), "antigo");
  EXPECT_EQ(NumeroDoErro([&] { CopyFileReplacing(pasta_.Em("nada"), pasta_.Em("alvo")); }), 53);
  fs::create_directory(pasta_.Em("pasta"));
  EXPECT_EQ(NumeroDoErro([&] { CopyFileReplacing(pasta_.Em("alvo"), pasta_.Em("pasta")); }), 75);
  EXPECT_EQ(LeArquivo(pasta_.Em("alvo")), "antigo");
  EXPECT_TRUE(fs::is_empty(pasta_.Em("pasta")));
}

TEST_F(FilesTest, RunningExecutableCannotBeReplaced) {
  const std::string executavel = (teste::PastaBinarios() / "tarvik_platform_tests").string();
  EscreveArquivo(pasta_.Em("novo"), "novo");
  EXPECT_EQ(NumeroDoErro([&] { CopyFileReplacing(pasta_.Em("novo"), executavel); }), 70);
}

TEST_F(FilesTest, FileHeldByAnotherProcessCannotBeReplacedOrDeleted) {
  EscreveArquivo(pasta_.Em("novo"), "novo");
  EscreveArquivo(pasta_.Em("alvo"), "antigo");
  {
    teste::ArquivoEmUso emUso(pasta_.Em("alvo"));
    EXPECT_EQ(NumeroDoErro([&] { CopyFileReplacing(pasta_.Em("novo"), pasta_.Em("alvo")); }), 70);
    EXPECT_EQ(NumeroDoErro([&] { RemoveFile(pasta_.Em("alvo")); }), 70);
    EXPECT_EQ(LeArquivo(pasta_.Em("alvo")), "antigo");
  }
  CopyFileReplacing(pasta_.Em("novo"), pasta_.Em("alvo"));
  EXPECT_EQ(LeArquivo(pasta_.Em("alvo")), "novo");
}

}  // namespace
}  // namespace tarvik::platform
