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

class LinhaProgressoTest : public ::testing::Test {
 protected:
  LinhaProgresso Linha(size_t colunas) {
    return LinhaProgresso([this](std::string_view bytes) { escritas_.emplace_back(bytes); },
                          colunas);
  }

  std::vector<std::string> escritas_;
};

TEST_F(LinhaProgressoTest, RedrawsTheLineInPlaceOnEveryChange) {
  LinhaProgresso linha = Linha(80);
  EXPECT_EQ(linha.Titulo(), "");
  linha.TrocaMensagemTitulo("Verificando por atualizações", "Contactando servidor");
  linha.Mensagem("Processando resposta");
  linha.Titulo("Atualizando");
  linha.Finaliza();
  EXPECT_EQ(escritas_, (std::vector<std::string>{
                           "\rContactando servidor\x1b[K",
                           "\rVerificando por atualizações - Contactando servidor\x1b[K",
                           "\rVerificando por atualizações - Processando resposta\x1b[K",
                           "\rAtualizando - Processando resposta\x1b[K",
                           "\r\x1b[K",
                       }));
  EXPECT_EQ(linha.Titulo(), "Atualizando");
  EXPECT_EQ(linha.Mensagem(), "Processando resposta");
}

TEST_F(LinhaProgressoTest, CutsToTheWidthByCharacters) {
  LinhaProgresso estreita = Linha(12);
  estreita.Titulo("Atualização em curso");
  LinhaProgresso minima = Linha(1);
  minima.Mensagem("x");
  EXPECT_EQ(escritas_, (std::vector<std::string>{"\rAtualização\x1b[K", "\r\x1b[K"}));
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
