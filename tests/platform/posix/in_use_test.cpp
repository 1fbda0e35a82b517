// POSIX only: Windows answers whether a file is in use by itself.
#include "platform/posix/in_use.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "platform/process.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"

namespace tarvik::platform {
namespace {

// The kernel's lease and the scan of /proc give one verdict: on a free file,
// one another process holds, one this process has mapped after closing it,
// the running program, and a file that is not there.
TEST(InUseTest, TheLeaseAndTheScanAgree) {
  teste::PastaTemporaria pasta;
  for (const char* nome : {"livre", "aberto", "mapeado"})
    teste::EscreveArquivo(pasta.Em(nome), "x");
  teste::ArquivoEmUso aberto(pasta.Em("aberto"));
  const int fd = ::open(pasta.Em("mapeado").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  void* mapa = ::mmap(nullptr, 1, PROT_READ, MAP_SHARED, fd, 0);
  ::close(fd);
  ASSERT_NE(mapa, MAP_FAILED);
  const std::pair<std::string, bool> casos[] = {
      {pasta.Em("livre"), false},  {pasta.Em("aberto"), true},
      {pasta.Em("mapeado"), true}, {ExecutableFolder() + "/tarvik_platform_tests", true},
      {pasta.Em("nada"), false},
  };
  for (const auto& [caminho, emUso] : casos) {
    EXPECT_EQ(InUseByLease(caminho), std::optional(emUso)) << caminho;
    EXPECT_EQ(InUseByScan(caminho), emUso) << caminho;
  }
  ::munmap(mapa, 1);
}

}  // namespace
}  // namespace tarvik::platform
