#ifndef TARVIK_PLATFORM_WIN32_HTTP_WINHTTP_H_
#define TARVIK_PLATFORM_WIN32_HTTP_WINHTTP_H_

#include <cstdint>
#include <string>

#include "platform/utilitarios_da_plataforma.h"
#include "platform/win32/proxy_usuario.h"

namespace tarvik::platform {

// GETs through the process's WinHTTP session: certificate checks on, the
// user's proxy settings, redirects followed (at most 10, never from https to
// http). The session outlives the client, so that its open connections serve
// the requests of later clients too.
class ClienteWinHttp {
 public:
  explicit ClienteWinHttp(const HttpOptions& opcoes);

  // One GET within the limits of the options. `cabecalho` ("Name: value",
  // in the ANSI code page) is sent when not empty. The body goes to memory
  // (`destino` empty) or is streamed into `destino`, which is replaced only
  // by the body of a complete 200 answer; a body longer than a non-negative
  // `limite` ends there, complete. Transport failures raise `Erro` with
  // WinHTTP's number and text; a transfer too slow or past its deadline
  // raises WinHTTP's timeout.
  RespostaHttp Get(const std::string& url, const std::string& cabecalho,
                   const std::string& destino = {}, int64_t limite = kSemLimite);

 private:
  HttpOptions opcoes_;
  ProxyDoUsuario proxy_;
};

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_HTTP_WINHTTP_H_
