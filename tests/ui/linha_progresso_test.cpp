#include "ui/linha_progresso.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

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
  EXPECT_EQ(linha.Titulo(), "");
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

// Standard error replaced by `descritor` for the life of the object.
class ErroPadraoTrocado {
 public:
  explicit ErroPadraoTrocado(int descritor) : original_(::dup(STDERR_FILENO)) {
    ::dup2(descritor, STDERR_FILENO);
  }
  ~ErroPadraoTrocado() {
    ::dup2(original_, STDERR_FILENO);
    ::close(original_);
  }

 private:
  int original_;
};

TEST(JanelaProgressoTest, ShowsItselfOnlyOnATerminal) {
  const int nulo = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  {
    ErroPadraoTrocado trocado(nulo);
    EXPECT_EQ(CriaJanelaProgresso(), nullptr);
  }
  ::close(nulo);

  int mestre = -1, escravo = -1;
  winsize tamanho{};
  tamanho.ws_col = 40;
  ASSERT_EQ(::openpty(&mestre, &escravo, nullptr, nullptr, &tamanho), 0);
  {
    ErroPadraoTrocado trocado(escravo);
    auto janela = CriaJanelaProgresso();
    ASSERT_NE(janela, nullptr);
    janela->Titulo("Atualizando a versão e tudo o mais que for preciso");
  }
  std::string lido(200, '\0');
  const ssize_t n = ::read(mestre, lido.data(), lido.size());
  ASSERT_GT(n, 0);
  lido.resize(static_cast<size_t>(n));
  EXPECT_EQ(lido, "\rAtualizando a versão e tudo o mais que \x1b[K");
  ::close(escravo);
  ::close(mestre);
}

}  // namespace
}  // namespace tarvik
