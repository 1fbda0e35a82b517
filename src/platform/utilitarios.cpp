#include "platform/utilitarios.h"

#include "platform/code_page.h"
#include "platform/utilitarios_da_plataforma.h"

namespace tarvik {

template <>
Fabrica<Utilitarios>::Funcao& Fabrica<Utilitarios>::EmUso() {
  static Funcao fabrica = [] { return CriaUtilitariosDaPlataforma({}); };
  return fabrica;
}

std::string platform::ClientHeaderLine(const std::string& texto) {
  std::string valor = ToAnsiCodePage(texto);
  for (char& c : valor) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return std::string(kCabecalhoInformacaoCliente) + ": " + valor;
}

}  // namespace tarvik
