// The catalogue's versions: their order, which texts are versions, and what
// the catalogue answers for an installed version.

#include "servidor_referencia/catalogo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/pasta_temporaria.h"

namespace tarvik::publicacao {
namespace {

TEST(CatalogoTest, VersionsCompareByNumberWherePossible) {
  struct Caso {
    std::string a, b;
    int ordem;
  };
  for (const Caso& caso :
       {Caso{"2.4", "2.31", -1}, Caso{"2.31", "2.31", 0}, Caso{"2.030", "2.30", 0},
        Caso{"2.31.1", "2.31", 1}, Caso{"1.99999999999999999999", "1.100000000000000000000", -1},
        Caso{"2.beta", "2.alpha", 1}, Caso{"2.1", "2.beta", -1}, Caso{"3", "2.99", 1}}) {
    EXPECT_EQ(ComparaVersoes(caso.a, caso.b), caso.ordem) << caso.a << " " << caso.b;
    EXPECT_EQ(ComparaVersoes(caso.b, caso.a), -caso.ordem) << caso.b << " " << caso.a;
  }
}

TEST(CatalogoTest, OnlySafeTextsAreVersions) {
  for (const std::string& valida :
       std::vector<std::string>{"1", "2.31-rc_1", "V2", std::string(64, '9')}) {
    EXPECT_TRUE(VersaoValida(valida)) << valida;
  }
  for (const std::string& invalida :
       std::vector<std::string>{"", "..", "-1", "2.31 beta", "2/31", "2\\31", "2.31\r", "versão",
                                std::string(65, '9')}) {
    EXPECT_FALSE(VersaoValida(invalida)) << invalida;
  }
}

TEST(CatalogoTest, AnswersByTheNewestVersionOfTheProduct) {
  teste::PastaTemporaria pasta;
  const Catalogo catalogo(pasta.Caminho());
  EXPECT_EQ(catalogo.VersaoMaisRecente(Produto::kAplicativo), "");
  for (const auto& [velha, nova] : {std::pair{"2.29", "2.30"}, std::pair{"2.30", "2.31"},
                                    std::pair{"2.29", "2.31"}, std::pair{"2.30", "2.4"}}) {
    teste::EscreveArquivo(catalogo.Descritor(Produto::kAplicativo, velha, nova), "x");
  }
  // Neither a descriptor of another product nor a stray file counts.
  teste::EscreveArquivo(catalogo.Descritor(Produto::kAtualizador, "4.00", "9.00"), "x");
  teste::EscreveArquivo(pasta.Caminho() / "descritores/aplicativo/2.30/leia-me", "x");
  teste::EscreveArquivo(pasta.Caminho() / "descritores/aplicativo/2.30/10 beta.txt", "x");
  EXPECT_EQ(catalogo.VersaoMaisRecente(Produto::kAplicativo), "2.31");

  using Tipo = Procura::Tipo;
  struct Caso {
    std::string versao;
    Tipo tipo;
    std::string descritor;
  };
  for (const Caso& caso :
       {Caso{"2.30", Tipo::kAtualizacao, "descritores/aplicativo/2.30/2.31.txt"},
        Caso{"2.31", Tipo::kAtual, ""}, Caso{"2.031", Tipo::kAtual, ""},
        Caso{"2.28", Tipo::kDesconhecida, ""}, Caso{"2.32", Tipo::kDesconhecida, ""},
        Caso{"../2.30", Tipo::kDesconhecida, ""}}) {
    const Procura procura = catalogo.ProcuraAtualizacao(Produto::kAplicativo, caso.versao);
    EXPECT_EQ(procura.tipo, caso.tipo) << caso.versao;
    EXPECT_EQ(procura.descritor, caso.descritor.empty() ? "" : pasta.Caminho() / caso.descritor)
        << caso.versao;
    EXPECT_EQ(procura.novaVersao, caso.tipo == Tipo::kDesconhecida ? "" : "2.31") << caso.versao;
  }
}

}  // namespace
}  // namespace tarvik::publicacao
