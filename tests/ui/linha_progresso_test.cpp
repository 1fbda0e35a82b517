#include "ui/linha_progresso.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/janela_progresso.h"

namespace tarvik {
namespace {

using Escritas = std::vector<std::string>;

// Every change redraws the whole line in place, cut to the width by
// characters, not bytes.
TEST(LinhaProgressoTest, RedrawsTheLineInPlaceCutToTheWidth) {
  Escritas escritas;
  const auto escreve = [&escritas](std::string_view bytes) { escritas.emplace_back(bytes); };
  LinhaProgresso linha(escreve, 80);
  linha.TrocaMensagemTitulo("Verificando por atualizações", "Contactando servidor");
  linha.Mensagem("Processando resposta");
  linha.Titulo("Atualizando");
  linha.Finaliza();
  EXPECT_EQ(linha.Titulo() + "|" + linha.Mensagem(), "Atualizando|Processando resposta");
  LinhaProgresso(escreve, 12).Titulo("Atualização em curso");
  LinhaProgresso(escreve, 1).Mensagem("x");
  EXPECT_EQ(escritas, (Escritas{"\rContactando servidor\x1b[K",
                                "\rVerificando por atualizações - Contactando servidor\x1b[K",
                                "\rVerificando por atualizações - Processando resposta\x1b[K",
                                "\rAtualizando - Processando resposta\x1b[K", "\r\x1b[K",
                                "\rAtualização\x1b[K", "\r\x1b[K"}));
}

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
