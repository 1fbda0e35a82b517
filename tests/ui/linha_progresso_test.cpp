#include "ui/linha_progresso.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
}  // namespace tarvik
