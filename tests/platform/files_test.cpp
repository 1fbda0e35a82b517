#include "platform/files.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#endif

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "base/erro.h"
#include "platform/own_files.h"
#include "platform/process.h"
#include "support/arvore_arquivos.h"
#include "support/pasta_temporaria.h"
#include "support/plataforma_teste.h"
#include "support/processo.h"

namespace tarvik::platform {
namespace {

using teste::EscreveArquivo;
using teste::LeArquivo;
namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  std::string Em(const std::string& relativo) const { return pasta_.Em(relativo); }

  teste::PastaTemporaria pasta_;
};

TEST_F(FilesTest, BackslashesAndLetterCaseReachTheSameFile) {
  EscreveArquivo(Em("Dados/Atualiza.TXT"), "x");
  const std::string windows = pasta_.Texto() + "\\dados\\atualiza.txt";
  EXPECT_TRUE(PathExists(windows));
  EXPECT_TRUE(fs::equivalent(NativePath(windows), Em("Dados/Atualiza.TXT")));
  EXPECT_EQ(ReadBytes(windows), "x");
  // New names are created as given, under the folder that already exists.
  WriteText(pasta_.Texto() + "\\DADOS\\novo.txt", "y");
  EXPECT_EQ(LeArquivo(Em("Dados/novo.txt")), "y");
  EXPECT_FALSE(PathExists(pasta_.Texto() + "\\nada\\x"));
  EXPECT_EQ(GetAttributes(pasta_.Texto() + "\\dados"), kAttributeDirectory);
}

// In a folder looked in many times, as those where an update creates its
// files are, a name made, renamed or removed by anyone since is found as a
// listing made now would find it, and a folder put in the place of another
// is looked in anew.
TEST_F(FilesTest, LetterCaseLookupsFollowEveryChangeToTheFolder) {
  fs::create_directory(Em("Pasta"));
  const std::string pasta = pasta_.Texto() + "\\pasta\\";
  for (int i = 0; i < 20; ++i) EXPECT_FALSE(PathExists(pasta + "novo" + std::to_string(i)));
  EscreveArquivo(Em("Pasta/Novo.TXT"), "novo");
  EXPECT_EQ(ReadBytes(pasta + "novo.txt"), "novo");
  fs::rename(Em("Pasta/Novo.TXT"), Em("Pasta/Outro.txt"));
  EXPECT_FALSE(PathExists(pasta + "NOVO.txt"));
  EXPECT_EQ(ReadBytes(pasta + "OUTRO.TXT"), "novo");
  fs::remove(Em("Pasta/Outro.txt"));
  EXPECT_FALSE(PathExists(pasta + "outro.txt"));
  fs::rename(Em("Pasta"), Em("Velha"));
  EscreveArquivo(Em("Pasta/Outro.TXT"), "da pasta nova");
  EXPECT_EQ(ReadBytes(pasta + "outro.txt"), "da pasta nova");
}

// Read-only files, files another process holds and the running executable
// are refused as on Windows, and a failed operation changes nothing.
TEST_F(FilesTest, FailuresCarryTheClassicNumbersAndLeaveEverythingAsItWas) {
  fs::create_directory(Em("pasta"));
  EscreveArquivo(Em("cheia/a"), "a");
  EscreveArquivo(Em("novo"), "novo");
  for (const char* nome : {"somente-leitura", "em-uso"}) EscreveArquivo(Em(nome), "antigo");
  SetAttributes(Em("somente-leitura"), kAttributeReadOnly);
  const std::string executavel =
      ExecutableFolder() + "/tarvik_platform_tests" + teste::kExtensaoPrograma;
  teste::ArquivoEmUso emUso(Em("em-uso"));
  const std::pair<std::function<void()>, int32_t> casos[] = {
      {[&] { ReadBytes(Em("nada")); }, 53},
      {[&] { WriteText(Em("nada/x"), "x"); }, 76},
      {[&] { AppendText(Em("pasta"), "x"); }, 75},
      {[&] { CreateFolder(Em("pasta")); }, 75},
      {[&] { CreateFolder(Em("nada/x")); }, 76},
      {[&] { RemoveFolder(Em("cheia")); }, 75},
      {[&] { RemoveFolder(Em("nada")); }, 76},
      {[&] { RemoveFile(Em("nada")); }, 53},
      {[&] { RemoveFile(Em("pasta")); }, 75},
      {[&] { FileLength(Em("nada")); }, 53},
      {[&] { CopyFileReplacing(Em("nada"), Em("somente-leitura")); }, 53},
      {[&] { CopyFileReplacing(Em("novo"), Em("pasta")); }, 75},
      {[&] { CopyFileReplacing(Em("novo"), Em("somente-leitura")); }, 70},
      {[&] { WriteText(Em("somente-leitura"), "x"); }, 70},
      {[&] { RemoveFile(Em("somente-leitura")); }, 70},
      {[&] { CopyFileReplacing(Em("novo"), Em("em-uso")); }, 70},
      {[&] { RemoveFile(Em("em-uso")); }, 70},
      {[&] { CopyFileReplacing(Em("novo"), executavel); }, 70},
      {[&] { RemoveOwnFile(Em("nada")); }, 53},
      {[&] { RemoveOwnFile(Em("pasta")); }, 75},
      {[&] { RemoveOwnFile(Em("somente-leitura")); }, 70},
  };
  for (size_t i = 0; i < std::size(casos); ++i) {
    EXPECT_EQ(PassoProtegido(casos[i].first).numero, casos[i].second) << "caso " << i;
  }
  EXPECT_EQ(LeArquivo(Em("somente-leitura")) + LeArquivo(Em("em-uso")), "antigoantigo");
  EXPECT_TRUE(fs::is_empty(Em("pasta")));
}

TEST_F(FilesTest, CopyReplacesWholeKeepsTheRunBitAndLeavesNoTemporaryBehind) {
  const std::string grande(3 << 20, 'g');  // several copy blocks
  EscreveArquivo(Em("baixado"), grande);
  fs::permissions(Em("baixado"), fs::perms(0644));
  EscreveArquivo(Em("pelirana.exe"), std::string(5 << 20, 'a'));
  fs::permissions(Em("pelirana.exe"), fs::perms(0755));
  // On Windows there is no run bit, and both stay what they were.
  const fs::perms executavel = fs::status(Em("pelirana.exe")).permissions();
  CopyFileReplacing(Em("baixado"), Em("pelirana.exe"));
  CopyFileReplacing(Em("baixado"), Em("novo.dll"));
  EXPECT_EQ(LeArquivo(Em("pelirana.exe")), grande);
  EXPECT_EQ(fs::last_write_time(Em("pelirana.exe")), fs::last_write_time(Em("baixado")));
  EXPECT_EQ(fs::status(Em("pelirana.exe")).permissions(), executavel);
  EXPECT_EQ(fs::status(Em("novo.dll")).permissions(), fs::status(Em("baixado")).permissions());
  EXPECT_EQ(std::distance(fs::directory_iterator(pasta_.Caminho()), fs::directory_iterator()), 3);
}

// A link planted where the updater writes is refused, not followed, and
// the read-only bit is never read or changed through one.
TEST_F(FilesTest, LinksAreNeitherWrittenNorChangedThrough) {
  EscreveArquivo(Em("fora/alvo.txt"), "alvo");
  EscreveArquivo(Em("fora/ro.txt"), "ro");
  SetAttributes(Em("fora/ro.txt"), kAttributeReadOnly);
  if (!teste::CriaLink(Em("fora/alvo.txt"), Em("link.txt"))) {
    GTEST_SKIP() << "this system makes no links (Wine 8 only pretends to)";
  }
  ASSERT_TRUE(teste::CriaLink(Em("fora/ro.txt"), Em("ro-link")));
  ASSERT_TRUE(teste::CriaLink(Em("fora/novo.log"), Em("perdido.log")));
  ASSERT_TRUE(teste::CriaLink(Em("fora"), Em("pasta-link")));
  const std::pair<std::function<void()>, int32_t> casos[] = {
      {[&] { AppendText(Em("link.txt"), "x"); }, 75},
      {[&] { WriteText(Em("link.txt"), "x"); }, 75},
      {[&] { AppendText(Em("perdido.log"), "x"); }, 75},
      {[&] { SetAttributes(Em("ro-link"), 0); }, 75},
  };
  for (size_t i = 0; i < std::size(casos); ++i) {
    EXPECT_EQ(PassoProtegido(casos[i].first).numero, casos[i].second) << "caso " << i;
  }
  EXPECT_EQ(LeArquivo(Em("fora/alvo.txt")), "alvo");
  EXPECT_FALSE(fs::exists(Em("fora/novo.log")));
  EXPECT_EQ(GetAttributes(Em("fora/ro.txt")) & kAttributeReadOnly, kAttributeReadOnly);
  EXPECT_EQ(GetAttributes(Em("ro-link")) & kAttributeReadOnly, 0u);
  EXPECT_TRUE(IsLink(Em("ro-link")) && IsLink(Em("perdido.log")) && IsLink(Em("pasta-link/")));
  EXPECT_FALSE(IsLink(Em("fora/ro.txt")) || IsLink(Em("fora/")) || IsLink(Em("nada")));
}

#ifndef _WIN32
// POSIX only: on Windows each copy of a batch is in place when it is added.
// A batch leaves every target as it was until it is committed, and nothing
// behind when it is dropped; at the commit a best-effort copy that cannot
// be put in place is skipped, and a required one stops the rest.
TEST_F(FilesTest, ABatchPutsItsCopiesInPlaceOnlyWhenCommitted) {
  for (const char* nome : {"novo", "a", "b", "c"}) {
    EscreveArquivo(Em(nome), std::string(nome) + " antigo");
  }
  EscreveArquivo(Em("novo"), "novo");
  {
    CopyBatch descartado;
    descartado.Add(Em("novo"), Em("a"));
  }
  CopyBatch lote;
  lote.Add(Em("novo"), Em("a"), InUseTest::kRun, CopyBatch::Kind::kBestEffort);
  lote.Add(Em("novo"), Em("b"));
  lote.Add(Em("novo"), Em("c"));
  EXPECT_EQ(LeArquivo(Em("a")) + "|" + LeArquivo(Em("b")), "a antigo|b antigo");
  // Folders where the copies of a and b go: neither can be renamed there.
  for (const char* nome : {"a", "b"}) {
    fs::remove(Em(nome));
    EscreveArquivo(Em(std::string(nome) + "/x"), "x");
  }
  EXPECT_EQ(PassoProtegido([&] { lote.Commit(); }).numero, 75);
  EXPECT_EQ(LeArquivo(Em("c")), "c antigo");
  lote.Add(Em("novo"), Em("c"));
  lote.Commit();
  EXPECT_EQ(LeArquivo(Em("c")), "novo");
  // No working sibling left behind.
  EXPECT_EQ(teste::ArvoreArquivos(pasta_.Caminho()),
            (std::map<std::string, std::string>{{"a", teste::kPasta},
                                                {"a/x", "x"},
                                                {"b", teste::kPasta},
                                                {"b/x", "x"},
                                                {"c", "novo"},
                                                {"novo", "novo"}}));
}

// POSIX only: a file-size limit, set in a child process, stands in for a
// full disk, which a test cannot make on Windows.
TEST_F(FilesTest, AnAppendThatCannotCompleteLeavesTheFileAsItWas) {
  EscreveArquivo(Em("registro.log"), "linha 1\r\n");
  const auto anexaAlemDoLimite = [&] {
    // The write then fails with EFBIG instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limite{12, 12};
    ::setrlimit(RLIMIT_FSIZE, &limite);
    const auto passo = PassoProtegido([&] { AppendText(Em("registro.log"), "linha 2\r\n"); });
    std::_Exit(passo.numero != 61 ? 1 : LeArquivo(Em("registro.log")) != "linha 1\r\n" ? 2 : 0);
  };
  EXPECT_EXIT(anexaAlemDoLimite(), ::testing::ExitedWithCode(0), "");
}

// A FIFO planted as the log would otherwise hold the updater until someone
// reads it.
TEST_F(FilesTest, AFifoIsNoFileToWriteAndDoesNotHang) {
  ASSERT_EQ(::mkfifo(Em("registro.log").c_str(), 0666), 0);
  EXPECT_EQ(PassoProtegido([&] { AppendText(Em("registro.log"), "x"); }).numero, 75);
}
#endif

}  // namespace
}  // namespace tarvik::platform
