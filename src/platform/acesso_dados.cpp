#include "platform/acesso_dados.h"

namespace tarvik {

template <>
Fabrica<AcessoDados>::Funcao& Fabrica<AcessoDados>::EmUso() {
  static Funcao fabrica = CriaAcessoDadosDaPlataforma;
  return fabrica;
}

}  // namespace tarvik
