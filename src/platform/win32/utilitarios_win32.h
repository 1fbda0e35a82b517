#ifndef TARVIK_PLATFORM_WIN32_UTILITARIOS_WIN32_H_
#define TARVIK_PLATFORM_WIN32_UTILITARIOS_WIN32_H_

#include <memory>

#include "platform/utilitarios.h"
#include "platform/win32/http_winhttp.h"

namespace tarvik::platform {

// The Windows utility component with the given HTTP limits; tests shorten
// them. Production uses the defaults through `CriaUtilitarios`.
std::unique_ptr<Utilitarios> CriaUtilitariosWin32(const HttpOptions& options);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_UTILITARIOS_WIN32_H_
