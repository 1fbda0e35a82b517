#ifndef TARVIK_TASKS_CODIGO_RESULTADO_H_
#define TARVIK_TASKS_CODIGO_RESULTADO_H_

#include <cstdint>

#include "server/resultado.h"

namespace tarvik {

// The result codes as the 32-bit values that tasks and the script return.
namespace codigo_resultado {
inline constexpr int32_t kSucessoInstalacao = static_cast<int32_t>(Resultado::kSucessoInstalacao);
inline constexpr int32_t kFalhaInstalacao = static_cast<int32_t>(Resultado::kFalhaInstalacao);
inline constexpr int32_t kFalhaArquivosEmUso = static_cast<int32_t>(Resultado::kFalhaArquivosEmUso);
inline constexpr int32_t kArquivosEmUsoReiniciar =
    static_cast<int32_t>(Resultado::kArquivosEmUsoReiniciar);
}  // namespace codigo_resultado

}  // namespace tarvik

#endif  // TARVIK_TASKS_CODIGO_RESULTADO_H_
