#include "base/colecao.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarvik {
namespace {

std::vector<std::string> Conteudo(const Colecao<std::string>& colecao) {
  return {colecao.begin(), colecao.end()};
}

TEST(ColecaoTest, PositionsCountFromOne) {
  Colecao<std::string> colecao;
  colecao.Adiciona("a");
  colecao.Adiciona("b");
  EXPECT_EQ(colecao.Quantidade(), 2);
  EXPECT_EQ(colecao.Item(1), "a");
  EXPECT_EQ(colecao.Item(2), "b");
}

TEST(ColecaoTest, PositionOutOfRangeRaisesNine) {
  Colecao<std::string> colecao;
  colecao.Adiciona("a");
  for (int64_t posicao : {0, 2, -1}) {
    try {
      colecao.Item(posicao);
      FAIL() << posicao;
    } catch (const Erro& erro) {
      EXPECT_EQ(erro.Numero(), 9);
      EXPECT_EQ(erro.Descricao(), "Subscrito fora do intervalo");
    }
  }
}

TEST(ColecaoTest, KeysIgnoreLetterCase) {
  Colecao<std::string> colecao;
  colecao.Adiciona("valor", "Itens");
  EXPECT_EQ(colecao.Item("itens"), "valor");
  EXPECT_EQ(colecao.Item("ITENS"), "valor");
  EXPECT_TRUE(colecao.Contem("iTeNs"));
  EXPECT_FALSE(colecao.Contem("item"));
}

TEST(ColecaoTest, AccentedKeysIgnoreLetterCase) {
  Colecao<std::string> colecao;
  colecao.Adiciona("x", "AÇÃO");
  EXPECT_EQ(colecao.Item("ação"), "x");
}

TEST(ColecaoTest, DuplicateKeyRaises457AndKeepsTheFirst) {
  Colecao<std::string> colecao;
  colecao.Adiciona("primeiro", "chave");
  try {
    colecao.Adiciona("segundo", "CHAVE");
    FAIL();
  } catch (const Erro& erro) {
    EXPECT_EQ(erro.Numero(), 457);
    EXPECT_EQ(erro.Descricao(), "Esta chave já está associada a um elemento desta coleção [CHAVE]");
  }
  EXPECT_EQ(Conteudo(colecao), (std::vector<std::string>{"primeiro"}));
}

TEST(ColecaoTest, MissingKeyRaisesFive) {
  Colecao<std::string> colecao;
  try {
    colecao.Item("nada");
    FAIL();
  } catch (const Erro& erro) {
    EXPECT_EQ(erro.Numero(), 5);
  }
}

TEST(ColecaoTest, InsertAfterKeyBuildsNewestFirstList) {
  // The shape of an undo list: a head entry, then each new entry right after
  // it, so the list reads newest first.
  Colecao<std::string> colecao;
  colecao.Adiciona("cabeça", "0");
  colecao.AdicionaDepois("t1", "1", "0");
  colecao.AdicionaDepois("t2", "2", "0");
  colecao.AdicionaDepois("t3", "3", "0");
  EXPECT_EQ(Conteudo(colecao), (std::vector<std::string>{"cabeça", "t3", "t2", "t1"}));
  EXPECT_EQ(colecao.Item("2"), "t2");
}

TEST(ColecaoTest, InsertAfterMissingKeyRaisesFiveAndAddsNothing) {
  Colecao<std::string> colecao;
  EXPECT_THROW(colecao.AdicionaDepois("x", "1", "0"), Erro);
  EXPECT_TRUE(colecao.Vazia());
}

TEST(ColecaoTest, CopyHasItsOwnIndex) {
  auto original = std::make_unique<Colecao<std::string>>();
  original->Adiciona("a", "0");
  Colecao<std::string> copia = *original;
  copia.AdicionaDepois("b", "1", "0");
  original.reset();
  EXPECT_EQ(copia.Item("0"), "a");
  EXPECT_EQ(Conteudo(copia), (std::vector<std::string>{"a", "b"}));
  Colecao<std::string> atribuida;
  atribuida = copia;
  copia.Adiciona("c", "2");
  EXPECT_FALSE(atribuida.Contem("2"));
  EXPECT_EQ(atribuida.Item("1"), "b");
}

}  // namespace
}  // namespace tarvik
