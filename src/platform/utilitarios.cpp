#include "platform/utilitarios.h"

#include "platform/utilitarios_da_plataforma.h"

namespace tarvik {

template <>
Fabrica<Utilitarios>::Funcao& Fabrica<Utilitarios>::EmUso() {
  static Funcao fabrica = CriaUtilitariosDaPlataforma;
  return fabrica;
}

}  // namespace tarvik
