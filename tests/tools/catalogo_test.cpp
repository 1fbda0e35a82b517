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
  for (const auto& [a, b, ordem] : {std::tuple{"2.4", "2.31", -1},
                                    {"2.31", "2.31", 0},
                                    {"2.030", "2.30", 0},
                                    {"2.31.1", "2.31", 1},
                                    {"1.99999999999999999999", "1.100000000000000000000", -1},
                                    {"2.beta", "2.alpha", 1},
                                    {"2.1", "2.beta", -1},
                                    {"3", "2.99", 1}}) {
    EXPECT_EQ(ComparaVersoes(a, b), ordem) << a << " " << b;
    EXPECT_EQ(ComparaVersoes(b, a), -ordem) << b << " " << a;
  }
}

TEST(CatalogoTest, OnlySafeTextsAreVersions) {
  const std::string limite(64, '9'), alem(65, '9');
  for (const std::string versao : {"1", "2.31-rc_1", "V2", limite.c_str()}) {
    EXPECT_TRUE(VersaoValida(versao)) << versao;
  }
  for (const std::string texto :
       {"", "..", "-1", "2.31 beta", "2/31", "2\\31", "2.31\r", "versão", alem.c_str()}) {
    EXPECT_FALSE(VersaoValida(texto)) << texto;
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
  for (const auto& [versao, tipo, descritor] :
       {std::tuple{"2.30", Tipo::kAtualizacao, "descritores/aplicativo/2.30/2.31.txt"},
        {"2.31", Tipo::kAtual, ""},
        {"2.031", Tipo::kAtual, ""},
        {"2.28", Tipo::kDesconhecida, ""},
        {"2.32", Tipo::kDesconhecida, ""},
        {"../2.30", Tipo::kDesconhecida, ""}}) {
    const Procura procura = catalogo.ProcuraAtualizacao(Produto::kAplicativo, versao);
    EXPECT_EQ(procura.tipo, tipo) << versao;
    EXPECT_EQ(procura.descritor, *descritor ? pasta.Caminho() / descritor : "") << versao;
    EXPECT_EQ(procura.novaVersao, tipo == Tipo::kDesconhecida ? "" : "2.31") << versao;
  }
}

}  // namespace
}  // namespace tarvik::publicacao
