#ifndef TARVIK_PLATFORM_WIN32_ERRO_WINHTTP_H_
#define TARVIK_PLATFORM_WIN32_ERRO_WINHTTP_H_

#include <cstdint>
#include <string>

#include "base/erro.h"

namespace tarvik::platform {

// A transport failure: WinHTTP's own error number (12029, 12007, ...) with
// the system's text for it, in the user's language, followed by `servidor`
// in square brackets when known. A number without text is described as
// "Erro WinHTTP N".
Erro ErroWinHttp(uint32_t codigo, const std::string& origem, const std::string& servidor = {});

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_ERRO_WINHTTP_H_
