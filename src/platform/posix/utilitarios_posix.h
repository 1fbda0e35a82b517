#ifndef TARVIK_PLATFORM_POSIX_UTILITARIOS_POSIX_H_
#define TARVIK_PLATFORM_POSIX_UTILITARIOS_POSIX_H_

#include <memory>

#include "platform/posix/http_curl.h"
#include "platform/utilitarios.h"

namespace tarvik::platform {

// The POSIX utility component with the given HTTP limits; tests shorten
// them. Production uses the defaults through `CriaUtilitarios`.
std::unique_ptr<Utilitarios> CriaUtilitariosPosix(const HttpOptions& options);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_UTILITARIOS_POSIX_H_
