#ifndef TARVIK_PLATFORM_POSIX_HTTP_CURL_H_
#define TARVIK_PLATFORM_POSIX_HTTP_CURL_H_

#include <cstdint>
#include <string>

#include "platform/utilitarios_da_plataforma.h"

namespace tarvik::platform {

// One GET with libcurl: certificate checks on, proxy settings from the
// environment, redirects followed, the limits of `options`. `headerLine`
// ("Name: value") is sent when not empty. The body goes to memory
// (`destination` empty) or is streamed into `destination`, which is
// replaced only by the body of a complete 200 answer; a body longer than a
// non-negative `limit` ends there, complete. Transport failures raise `Erro`
// with libcurl's code and message.
RespostaHttp HttpGet(const std::string& url, const std::string& headerLine,
                     const HttpOptions& options, const std::string& destination = {},
                     int64_t limit = kSemLimite);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_HTTP_CURL_H_
