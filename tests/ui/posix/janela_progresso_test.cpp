#include "ui/janela_progresso.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <string>

namespace tarvik {
namespace {

// Creates the progress window with standard error on `descritor` and shows a
// title in it; whether there was a window.
bool MostraEm(int descritor) {
  const int original = ::dup(STDERR_FILENO);
  ::dup2(descritor, STDERR_FILENO);
  auto janela = CriaJanelaProgresso();
  const bool criada = janela != nullptr;
  if (janela) janela->Titulo("Atualizando a versão e tudo o mais que for preciso");
  janela.reset();
  ::dup2(original, STDERR_FILENO);
  ::close(original);
  return criada;
}

TEST(JanelaProgressoTest, ShowsItselfOnlyOnATerminal) {
  const int nulo = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  EXPECT_FALSE(MostraEm(nulo));
  ::close(nulo);
  int mestre = -1, escravo = -1;
  winsize tamanho{};
  tamanho.ws_col = 40;
  ASSERT_EQ(::openpty(&mestre, &escravo, nullptr, nullptr, &tamanho), 0);
  EXPECT_TRUE(MostraEm(escravo));
  std::string lido(200, '\0');
  lido.resize(static_cast<size_t>(std::max<ssize_t>(0, ::read(mestre, lido.data(), lido.size()))));
  EXPECT_EQ(lido, "\rAtualizando a versão e tudo o mais que \x1b[K");
  ::close(escravo);
  ::close(mestre);
}

}  // namespace
}  // namespace tarvik
