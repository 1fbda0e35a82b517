#ifndef TARVIK_TESTS_SUPPORT_REGISTRO_TESTE_H_
#define TARVIK_TESTS_SUPPORT_REGISTRO_TESTE_H_

#include <string>

#include "support/instalacao_teste.h"

namespace tarvik::teste {

// The moment the clock of the tests that read the log shows.
inline const DataHora kMomentoRegistro{2026, 3, 5, 7, 8, 9};

// A log line as RegistraLog writes it at `kMomentoRegistro`.
inline std::string Linha(const std::string& categoria, const std::string& mensagem) {
  return "05/03/2026 07:08:09 - " + categoria + " - " + mensagem;
}
inline std::string LinhaInfo(const std::string& mensagem) { return Linha("INFO", mensagem); }
inline std::string LinhaErro(const std::string& mensagem) { return Linha("ERRO", mensagem); }

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SUPPORT_REGISTRO_TESTE_H_
