#include "descriptor/descritor.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/erro_teste.h"

namespace tarvik {
namespace {

using teste::ErroDe;

// A lone LF or CR before a CR LF stays in the line; after the last CR LF,
// LF cuts, and CR only once no LF is left.
TEST(SeparaLinhasTest, CutsLinesAndRemovesThem) {
  const std::pair<std::string, std::vector<std::string>> casos[] = {
      {"a\r\nb\r\nc", {"a", "b", "c"}}, {"a\nb\nc\n", {"a", "b", "c"}},
      {"a\rb\r", {"a", "b"}},           {"abc", {"abc"}},
      {"\r\n\r\nx", {"", "", "x"}},     {"a\nb\r\nc\rd\ne\rf", {"a\nb", "c\rd", "e", "f"}}};
  for (auto [texto, linhas] : casos) {
    std::vector<std::string> cortadas;
    while (!texto.empty()) cortadas.push_back(SeparaLinhas(texto));
    EXPECT_EQ(cortadas, linhas);
  }
  std::string vazio;
  EXPECT_EQ(SeparaLinhas(vazio), "");
}

// The sections read, as "[name]key=value|key=value", the names in the order
// given, and what is left of the text.
std::string Lido(std::string conteudo, const std::vector<std::string>& nomes) {
  const Secoes secoes = InterpretaConteudo(conteudo);
  std::string lido = std::to_string(secoes.Quantidade());
  for (const auto& nome : nomes) {
    lido += "[" + nome + "]";
    const Secao& secao = *secoes.Item(nome);
    for (size_t i = 0; i < secao.Quantidade(); ++i) {
      const auto [chave, valor] = secao.Valor(i);
      lido += std::string(chave) + "=" + std::string(valor) + "|";
    }
  }
  return lido + "resto:" + conteudo;
}

// Blanks around names and keys go, a value keeps its own; lines without
// "=" and comments are skipped; a header's last character is dropped unseen;
// the first blank line ends the descriptor and what follows it is left. An
// empty text, no section, is read back through the descriptor's own errors.
TEST(InterpretaConteudoTest, ReadsSectionsKeysAndValues) {
  EXPECT_EQ(Lido("  [Primeira]  \r\n# comentario=ignorado\r\n  chave  = valor = e espaço\r\n"
                 "linha sem igual\r\nvazio=\r\n[segunda]\r\nItens=3\r\n",
                 {"PRIMEIRA", "Segunda"}),
            "2[PRIMEIRA]chave= valor = e espaço|vazio=|[Segunda]Itens=3|resto:");
  EXPECT_EQ(Lido("[secao)\nx=1\n[]\ny=2", {"secao", ""}), "2[secao]x=1|[]y=2|resto:");
  EXPECT_EQ(Lido("[a]\r\nx=1\r\n   \r\n[b]\r\ny=2\r\n", {"a"}), "1[a]x=1|resto:[b]\r\ny=2\r\n");
  EXPECT_EQ(Lido("[a]\r\nx=1\n\r\ny=2\n\nresto\r", {"a"}), "1[a]x=1\n|y=2|resto:resto\r");
}

// Keys are found whatever the order of the lookups and whatever the
// accented letters' case, each section sees only its own keys, and the key
// index grows with the text.
TEST(InterpretaConteudoTest, LooksKeysUpInAnyOrder) {
  std::string conteudo = "[a]\nx1=1\nx2=2\nAÇÃO=4\n[b]\nx1=5\n[c]\n";
  for (int i = 0; i < 5000; ++i)
    conteudo += "chave_" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  const Secoes secoes = InterpretaConteudo(conteudo);
  const auto valor = [&](const char* secao, const std::string& chave) {
    const std::optional<std::string_view> achado = secoes.Item(secao)->Procura(chave);
    return achado ? std::string(*achado) : "(ausente)";
  };
  EXPECT_EQ(valor("a", "x2") + valor("a", "X1") + valor("A", "ação") + valor("b", "x1") +
                valor("b", "x2"),
            "2145(ausente)");
  for (int i = 4999; i >= 0; i -= 7)
    EXPECT_EQ(valor("c", "CHAVE_" + std::to_string(i)), std::to_string(i));
}

// The first fault in line order is the one reported, in a long section as
// in a short one; the same key in two sections is no repetition.
TEST(InterpretaConteudoTest, FaultsRaiseNamingTheLine) {
  std::string longa = "[longa]\n";
  for (int i = 0; i < 1000; ++i) longa.append("k").append(std::to_string(i)).append("=1\n");
  const std::string invalido =
      "5|InterpretaConteudo|Chamada de procedimento ou argumento inválido: ";
  const std::string repetida =
      "457|InterpretaConteudo|Esta chave já está associada a um elemento desta coleção: ";
  const std::pair<std::string, std::string> casos[] = {
      {"itens=1\n[a]\n", invalido + "chave [itens] antes do primeiro cabeçalho de seção"},
      {"[a]\n  [  \n", invalido + "cabeçalho de seção sem nome [[]"},
      {"[seq]\nitens=1\nITENS=2\n", repetida + "chave [ITENS] repetida na seção [seq]"},
      {"[Seq]\n[seq]\n", repetida + "seção [seq] repetida"},
      {"[a]\nAÇÃO=1\nação=2\n", repetida + "chave [ação] repetida na seção [a]"},
      {"[a]\nx=1\n[b]\nx=1\ny=1\nY=2\n[\n", repetida + "chave [Y] repetida na seção [b]"},
      {longa + "K500=2\nk7=3\n", repetida + "chave [K500] repetida na seção [longa]"}};
  for (auto [conteudo, erro] : casos)
    EXPECT_EQ(ErroDe([&] { InterpretaConteudo(conteudo); }), erro);
}

}  // namespace
}  // namespace tarvik
