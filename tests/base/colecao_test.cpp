#include "base/colecao.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/erro.h"
#include "support/erro_teste.h"

namespace tarvik {
namespace {

using teste::ErroDe;
using Textos = std::vector<std::string>;

Textos Conteudo(const Colecao<std::string>& colecao) { return {colecao.begin(), colecao.end()}; }

// Keys are compared without regard to letter case, accented ones too; a
// failed addition adds nothing.
TEST(ColecaoTest, PositionsFromOneAndKeysFailWithTheClassicNumbers) {
  Colecao<std::string> colecao;
  colecao.Adiciona("a", "AÇÃO");
  colecao.Adiciona("b");
  EXPECT_EQ(colecao.Item(1) + colecao.Item(2) + colecao.Item("ação") + colecao.Item("aÇãO"),
            "abaa");
  EXPECT_EQ(std::to_string(colecao.Contem("açÃo")) + std::to_string(colecao.Contem("acao")), "10");
  for (const int64_t posicao : {0, 3, -1}) {
    EXPECT_EQ(ErroDe([&] { colecao.Item(posicao); }), "9|Colecao:Item|Subscrito fora do intervalo");
  }
  EXPECT_EQ(ErroDe([&] { colecao.Item("nada"); }),
            "5|Colecao:Item|Chamada de procedimento ou argumento inválido [nada]");
  EXPECT_EQ(ErroDe([&] { colecao.Adiciona("c", "ação"); }),
            "457|Colecao:Adiciona|Esta chave já está associada a um elemento desta coleção [ação]");
  EXPECT_EQ(ErroDe([&] { colecao.AdicionaDepois("c", "1", "0"); }),
            "5|Colecao:AdicionaDepois|Chamada de procedimento ou argumento inválido [0]");
  EXPECT_EQ(Conteudo(colecao), (Textos{"a", "b"}));
}

// A copy builds an index of its own: it outlives the original, and what
// one adds the other does not see. Insertion after a key is read back
// through the order of the script's undo.
TEST(ColecaoTest, CopiesHaveAnIndexOfTheirOwn) {
  auto original = std::make_unique<Colecao<std::string>>();
  original->Adiciona("cabeça", "0");
  original->Adiciona("fim", "9");
  Colecao<std::string> copia = *original;
  original.reset();
  copia.AdicionaDepois("t1", "1", "0");
  Colecao<std::string> atribuida;
  atribuida = copia;
  copia.AdicionaDepois("t2", "2", "0");
  EXPECT_EQ(Conteudo(copia), (Textos{"cabeça", "t2", "t1", "fim"}));
  EXPECT_EQ(Conteudo(atribuida), (Textos{"cabeça", "t1", "fim"}));
  EXPECT_EQ(atribuida.Item("1") + atribuida.Item("9") + std::to_string(atribuida.Contem("2")),
            "t1fim0");
}

// A guarded step lets any exception but an Erro, a fault, through. How it
// turns an Erro into its number and description, and the standard
// descriptions, are read back in the logs of the tasks and the platform's
// error tests.
TEST(ErroTest, GuardedStepsLetFaultsThrough) {
  EXPECT_THROW(PassoProtegido([] { throw std::logic_error("bug"); }), std::logic_error);
}

}  // namespace
}  // namespace tarvik
