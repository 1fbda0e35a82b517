#include "base/erro.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarvik {
namespace {

TEST(ErroTest, StandardErrorsCarryTheirClassicTexts) {
  const Erro erro = ErroPadrao(codigo_erro::kCaminhoNaoEncontrado, "CreateFolder", "/x/y");
  EXPECT_EQ(erro.Numero(), 76);
  EXPECT_EQ(erro.Origem(), "CreateFolder");
  EXPECT_EQ(erro.Descricao(), "Caminho não encontrado [/x/y]");
  EXPECT_EQ(ErroPadrao(70, "x").Descricao(), "Permissão negada");
}

TEST(ErroTest, GuardedStepYieldsNumberAndDescription) {
  EXPECT_FALSE(PassoProtegido([] {}).Falhou());
  const auto passo = PassoProtegido([] { throw Erro(3, "Tarefa:Executa", "x"); });
  EXPECT_EQ(passo.numero, 3);
  EXPECT_EQ(passo.descricao, "x");
}

TEST(ErroTest, GuardedStepLetsFaultsThrough) {
  EXPECT_THROW(PassoProtegido([] { throw std::logic_error("bug"); }), std::logic_error);
}

}  // namespace
}  // namespace tarvik
