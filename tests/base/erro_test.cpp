#include "base/erro.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace tarvik {
namespace {

// A guarded step turns an Erro into its number and description and lets
// any other exception, a fault, through.
TEST(ErroTest, StandardErrorsAndGuardedSteps) {
  const Erro erro = ErroPadrao(codigo_erro::kCaminhoNaoEncontrado, "CreateFolder", "/x/y");
  EXPECT_EQ(std::to_string(erro.Numero()) + "|" + erro.Origem() + "|" + erro.Descricao(),
            "76|CreateFolder|Caminho não encontrado [/x/y]");
  EXPECT_EQ(ErroPadrao(70, "x").Descricao(), "Permissão negada");
  EXPECT_FALSE(PassoProtegido([] {}).Falhou());
  const auto passo = PassoProtegido([] { throw Erro(3, "Tarefa:Executa", "x"); });
  EXPECT_EQ(std::to_string(passo.numero) + "|" + passo.descricao, "3|x");
  EXPECT_THROW(PassoProtegido([] { throw std::logic_error("bug"); }), std::logic_error);
}

}  // namespace
}  // namespace tarvik
