#ifndef TARVIK_TESTS_SUPPORT_ERRO_TESTE_H_
#define TARVIK_TESTS_SUPPORT_ERRO_TESTE_H_

#include <string>

#include "base/erro.h"

namespace tarvik::teste {

// Runs `passo` and gives the Erro it raises as "number|source|description",
// so that one comparison checks all three; "nenhum erro" when none.
template <typename Passo>
std::string ErroDe(Passo&& passo) {
  try {
    passo();
  } catch (const Erro& erro) {
    return std::to_string(erro.Numero()) + "|" + erro.Origem() + "|" + erro.Descricao();
  }
  return "nenhum erro";
}

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SUPPORT_ERRO_TESTE_H_
