#ifndef TARVIK_DESCRIPTOR_RESULTADO_H_
#define TARVIK_DESCRIPTOR_RESULTADO_H_

#include <cstdint>
#include <string>

namespace tarvik {

// The result codes that tasks, the script runner and the update check return
// and that the result report names to the server.
enum class Resultado : int32_t {
  kSucessoInstalacao = 0,
  kFalhaInstalacao = 1,
  kFalhaArquivosEmUso = 2,
  kNadaAFazer = 3,  // named, but returned by no operation
  kArquivosEmUsoReiniciar = 4,
};

// The name of `codigo` ("SucessoInstalacao" for 0). A code outside the table
// raises error 4, "Resultado desconhecido: " and the code in decimal.
std::string NomeResultado(Resultado codigo);

}  // namespace tarvik

#endif  // TARVIK_DESCRIPTOR_RESULTADO_H_
