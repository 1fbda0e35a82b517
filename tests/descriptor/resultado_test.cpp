#include "descriptor/resultado.h"

#include <gtest/gtest.h>

#include "base/erro.h"

namespace tarvik {
namespace {

TEST(ResultadoTest, NamesEveryCode) {
  EXPECT_EQ(NomeResultado(Resultado::kSucessoInstalacao), "SucessoInstalacao");
  EXPECT_EQ(NomeResultado(Resultado::kFalhaInstalacao), "FalhaInstalacao");
  EXPECT_EQ(NomeResultado(Resultado::kFalhaArquivosEmUso), "FalhaArquivosEmUso");
  EXPECT_EQ(NomeResultado(Resultado::kNadaAFazer), "NadaAFazer");
  EXPECT_EQ(NomeResultado(Resultado::kArquivosEmUsoReiniciar), "ArquivosEmUsoReiniciar");
}

TEST(ResultadoTest, UnknownCodeRaisesFour) {
  for (const int32_t codigo : {5, -1}) {
    try {
      NomeResultado(static_cast<Resultado>(codigo));
      FAIL() << codigo;
    } catch (const Erro& erro) {
      EXPECT_EQ(erro.Numero(), 4);
      EXPECT_EQ(erro.Origem(), "NomeResultado");
      EXPECT_EQ(erro.Descricao(), "Resultado desconhecido: " + std::to_string(codigo));
    }
  }
}

}  // namespace
}  // namespace tarvik
