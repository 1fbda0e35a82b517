#ifndef TARVIK_PLATFORM_WIN32_ERRO_SISTEMA_H_
#define TARVIK_PLATFORM_WIN32_ERRO_SISTEMA_H_

#include <cstdint>
#include <string>

#include "base/erro.h"

namespace tarvik::platform {

// The classic runtime error for the Windows error `codigo` left by an
// operation on `caminho`: 2 is 53, 3 is 76, a sharing or lock violation
// 70, access denied 70 (75 on a folder), an existing name 75, a full disk
// 61, a device error 57. `origem` names the operation.
Erro ErroDoSistema(uint32_t codigo, const std::string& origem, const std::string& caminho);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_ERRO_SISTEMA_H_
