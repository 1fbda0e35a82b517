#include "descriptor/descritor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/erro.h"
#include "descriptor/acao.h"

namespace tarvik {
namespace {

std::vector<std::string> TodasAsLinhas(std::string texto) {
  std::vector<std::string> linhas;
  while (!texto.empty()) linhas.push_back(SeparaLinhas(texto));
  return linhas;
}

struct CasoLinhas {
  const char* nome;
  std::string texto;
  std::vector<std::string> linhas;
};

class SeparaLinhasTest : public testing::TestWithParam<CasoLinhas> {};

TEST_P(SeparaLinhasTest, CutsLines) {
  EXPECT_EQ(TodasAsLinhas(GetParam().texto), GetParam().linhas);
}

INSTANTIATE_TEST_SUITE_P(
    Quebras, SeparaLinhasTest,
    testing::Values(CasoLinhas{"CrLf", "a\r\nb\r\nc", {"a", "b", "c"}},
                    CasoLinhas{"LfOnly", "a\nb\nc\n", {"a", "b", "c"}},
                    CasoLinhas{"CrOnly", "a\rb\r", {"a", "b"}},
                    CasoLinhas{"NoBreak", "abc", {"abc"}},
                    CasoLinhas{"EmptyLines", "\r\n\r\nx", {"", "", "x"}},
                    // A lone LF or CR before a CR LF stays in the line; after the last
                    // CR LF, LF cuts, and CR only once no LF is left.
                    CasoLinhas{"Mixed", "a\nb\r\nc\rd\ne\rf", {"a\nb", "c\rd", "e", "f"}}),
    [](const auto& caso) { return caso.param.nome; });

TEST(SeparaLinhasTest, RemovesTheLineAndItsBreak) {
  std::string texto = "primeira\r\nsegunda\r\n";
  EXPECT_EQ(SeparaLinhas(texto), "primeira");
  EXPECT_EQ(texto, "segunda\r\n");
  texto.clear();
  EXPECT_EQ(SeparaLinhas(texto), "");
}

// The value under `chave` of `secao`, or "(ausente)".
std::string Valor(const Secoes& secoes, const char* secao, const char* chave) {
  const std::string_view* valor = secoes.Item(secao)->Procura(chave);
  return valor ? std::string(*valor) : "(ausente)";
}

TEST(InterpretaConteudoTest, ReadsSectionsKeysAndValues) {
  std::string conteudo =
      "  [Primeira]  \r\n"
      "# comentario=ignorado\r\n"
      "  chave  = valor com = e espaço\r\n"
      "linha sem igual\r\n"
      "vazio=\r\n"
      "[segunda]\r\n"
      "Itens=3\r\n";
  const Secoes secoes = InterpretaConteudo(conteudo);
  EXPECT_EQ(secoes.Quantidade(), 2);
  const auto primeira = secoes.Item("primeira")->Valores();
  ASSERT_EQ(primeira.size(), 2u);
  EXPECT_EQ(primeira[0].chave, "chave");
  EXPECT_EQ(primeira[0].valor, " valor com = e espaço");
  EXPECT_EQ(primeira[1].chave, "vazio");
  EXPECT_EQ(Valor(secoes, "PRIMEIRA", "CHAVE"), " valor com = e espaço");
  EXPECT_EQ(Valor(secoes, "primeira", "vazio"), "");
  EXPECT_EQ(Valor(secoes, "primeira", "itens"), "(ausente)");
  EXPECT_EQ(Valor(secoes, "Segunda", "itens"), "3");
  EXPECT_EQ(conteudo, "");
}

TEST(InterpretaConteudoTest, HeaderDropsItsLastCharacterUnseen) {
  std::string conteudo = "[secao)\nx=1\n[]\ny=2";
  const Secoes secoes = InterpretaConteudo(conteudo);
  EXPECT_EQ(Valor(secoes, "secao", "x"), "1");
  EXPECT_EQ(Valor(secoes, "", "y"), "2");
}

TEST(InterpretaConteudoTest, BlankLineEndsTheDescriptor) {
  std::string conteudo = "[a]\r\nx=1\r\n   \r\n[b]\r\ny=2\r\n";
  const Secoes secoes = InterpretaConteudo(conteudo);
  EXPECT_EQ(secoes.Quantidade(), 1);
  EXPECT_FALSE(secoes.Contem("b"));
  EXPECT_EQ(conteudo, "[b]\r\ny=2\r\n");
  conteudo.clear();
  EXPECT_TRUE(InterpretaConteudo(conteudo).Vazia());
}

// Keys are found whatever the order of the lookups and whatever the
// accented letters' case, and each section sees only its own keys.
TEST(InterpretaConteudoTest, LooksKeysUpInAnyOrder) {
  std::string conteudo = "[a]\nx1=1\nx2=2\nx3=3\nAÇÃO=4\n[b]\nx1=5\n";
  const Secoes secoes = InterpretaConteudo(conteudo);
  for (const char* chave : {"x3", "x1", "x2", "x3", "ação", "X1"}) {
    EXPECT_NE(secoes.Item("a")->Procura(chave), nullptr) << chave;
  }
  EXPECT_EQ(Valor(secoes, "a", "Ação") + Valor(secoes, "b", "x1") + Valor(secoes, "b", "x2"),
            "45(ausente)");
}

// The key index is sized from the text: many keys, none lost.
TEST(InterpretaConteudoTest, ManyKeys) {
  std::string conteudo = "[a]\n";
  for (int i = 0; i < 5000; ++i)
    conteudo += "chave_" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  const Secoes secoes = InterpretaConteudo(conteudo);
  for (int i = 4999; i >= 0; i -= 7) {
    EXPECT_EQ(Valor(secoes, "a", ("CHAVE_" + std::to_string(i)).c_str()), std::to_string(i));
  }
}

// After the last CR LF the lines end at LF, and what follows the blank line
// is left unread.
TEST(InterpretaConteudoTest, MixedBreaksAsSeparaLinhasCutsThem) {
  std::string conteudo = "[a]\r\nx=1\n\r\ny=2\n\nresto\r";
  const Secoes secoes = InterpretaConteudo(conteudo);
  EXPECT_EQ(Valor(secoes, "a", "x"), "1\n");
  EXPECT_EQ(Valor(secoes, "a", "y"), "2");
  EXPECT_EQ(conteudo, "resto\r");
}

struct CasoFalha {
  const char* nome;
  std::string conteudo;
  int32_t numero;
  std::string descricao;
};

class InterpretaConteudoFalhaTest : public testing::TestWithParam<CasoFalha> {};

TEST_P(InterpretaConteudoFalhaTest, RaisesNamingTheLine) {
  std::string conteudo = GetParam().conteudo;
  try {
    InterpretaConteudo(conteudo);
    FAIL();
  } catch (const Erro& erro) {
    EXPECT_EQ(erro.Numero(), GetParam().numero);
    EXPECT_EQ(erro.Origem(), "InterpretaConteudo");
    EXPECT_EQ(erro.Descricao(), GetParam().descricao);
  }
}

const std::string kInvalido = "Chamada de procedimento ou argumento inválido: ";
const std::string kRepetida = "Esta chave já está associada a um elemento desta coleção: ";

INSTANTIATE_TEST_SUITE_P(
    Falhas, InterpretaConteudoFalhaTest,
    testing::Values(
        CasoFalha{"ValueBeforeHeader", "itens=1\n[a]\n", 5,
                  kInvalido + "chave [itens] antes do primeiro cabeçalho de seção"},
        CasoFalha{"LoneBracket", "[a]\n  [  \n", 5, kInvalido + "cabeçalho de seção sem nome [[]"},
        CasoFalha{"RepeatedKeyOtherCase", "[seq]\nitens=1\nITENS=2\n", 457,
                  kRepetida + "chave [ITENS] repetida na seção [seq]"},
        CasoFalha{"RepeatedSection", "[Seq]\n[seq]\n", 457, kRepetida + "seção [seq] repetida"},
        CasoFalha{"RepeatedAccentedKey", "[a]\nAÇÃO=1\nação=2\n", 457,
                  kRepetida + "chave [ação] repetida na seção [a]"},
        // The same key in two sections is no repetition; the first fault
        // in line order is the one reported.
        CasoFalha{"FirstFaultWins", "[a]\nx=1\n[b]\nx=1\ny=1\nY=2\n[\n", 457,
                  kRepetida + "chave [Y] repetida na seção [b]"}),
    [](const auto& caso) { return caso.param.nome; });

// The other codes are read back through the parser and the script runner.
TEST(PesquisaAcaoTest, KnowsExactNamesOnly) {
  EXPECT_EQ(PesquisaAcao("ExecutarMsi"), 11);
  EXPECT_EQ(PesquisaAcao("CopiarNovoArquivo"), 10);
  for (const char* nome : {"criarpasta", "", "CriarPasta "}) {
    try {
      PesquisaAcao(nome);
      FAIL() << nome;
    } catch (const Erro& erro) {
      EXPECT_EQ(erro.Numero(), 1);
      EXPECT_EQ(erro.Origem(), "PesquisaAcao");
      EXPECT_EQ(erro.Descricao(), "Nome de ação [" + std::string(nome) + "] inválido");
    }
  }
}

}  // namespace
}  // namespace tarvik
