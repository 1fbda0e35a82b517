#include "descriptor/dados_atualizacao.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/erro.h"
#include "descriptor/informacao_arquivo.h"
#include "descriptor/informacao_pasta.h"

namespace tarvik {
namespace {

struct CasoUrl {
  const char* url;
  const char* nome;
};

class NomeArquivoUrlTest : public testing::TestWithParam<CasoUrl> {};

TEST_P(NomeArquivoUrlTest, TakesTheFileNamePart) {
  EXPECT_EQ(NomeArquivoUrl(GetParam().url), GetParam().nome);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, NomeArquivoUrlTest,
    testing::Values(CasoUrl{"https://servidor.exemplo/tarvik/4.1/pelirana.exe", "pelirana.exe"},
                    CasoUrl{"http://servidor.exemplo:8080/tarvik/app.dll", "app.dll"},
                    CasoUrl{"http://s.exemplo/baixa.aspx?arquivo=app.dll",
                            "baixa.aspx?arquivo=app.dll"},
                    CasoUrl{"http://servidor.exemplo", ""},
                    CasoUrl{"http://servidor.exemplo:8080", ""},
                    CasoUrl{"http://servidor.exemplo/tarvik/", ""},
                    CasoUrl{"C:\\tarvik\\app.dll", ""}, CasoUrl{"", ""}));

// Created once on first read, or the collection given.
TEST(DadosAtualizacaoTest, ItensSequencia) {
  DadosAtualizacao dados;
  const auto primeira = dados.ItensSequencia();
  ASSERT_NE(primeira, nullptr);
  EXPECT_TRUE(primeira->Vazia());
  primeira->Adiciona(std::make_shared<InformacaoPasta>());
  EXPECT_EQ(dados.ItensSequencia(), primeira);
  auto itens = std::make_shared<ItensDeSequencia>();
  dados.ItensSequencia(itens);
  EXPECT_EQ(dados.ItensSequencia(), itens);
}

TEST(DadosAtualizacaoTest, ArraysAreCopiesOfTheSameEntries) {
  DadosAtualizacao dados;
  auto arquivo = std::make_shared<InformacaoArquivo>();
  ArranjoArquivos dado{arquivo};
  dados.ArquivosOriginais(dado);
  dado.push_back(nullptr);
  auto lido = dados.ArquivosOriginais();
  ASSERT_EQ(lido.size(), 1u);
  lido.clear();
  ASSERT_EQ(dados.ArquivosOriginais().size(), 1u);
  dados.ArquivosOriginais()[0]->hash("abc");
  EXPECT_EQ(arquivo->hash(), "abc");
}

TEST(DadosAtualizacaoTest, AjustaTamanhoLeavesOnlyEmptyElementsAndRefusesBelowOne) {
  DadosAtualizacao dados;
  dados.ArquivosRecuperar({std::make_shared<InformacaoArquivo>()});
  for (const int32_t quantidade : {0, -1}) {
    try {
      dados.AjustaTamanhoArquivosRecuperar(quantidade);
      FAIL() << quantidade;
    } catch (const Erro& erro) {
      EXPECT_EQ(erro.Numero(), 9);
    }
  }
  EXPECT_EQ(dados.ArquivosRecuperar().size(), 1u);
  dados.AjustaTamanhoArquivosRecuperar(3);
  EXPECT_EQ(dados.ArquivosRecuperar(), ArranjoArquivos(3));
}

}  // namespace
}  // namespace tarvik
