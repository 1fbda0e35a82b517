#ifndef TARVIK_PLATFORM_WIN32_PROXY_USUARIO_H_
#define TARVIK_PLATFORM_WIN32_PROXY_USUARIO_H_

#include <windows.h>
// After windows.h, which winhttp.h needs.
#include <winhttp.h>

#include <string>

namespace tarvik::platform {

// The proxy of each request as the user's Internet settings say: a proxy
// script (found on the network or at a configured address), else the named
// proxy; with none, the session's default (the machine's WinHTTP setting).
// A user without settings of their own (a service account, say) gets the
// search on the network.
class ProxyDoUsuario {
 public:
  // Sets the proxy on `pedido`, a request of `sessao` to `url`.
  void Aplica(HINTERNET sessao, HINTERNET pedido, const std::wstring& url);

 private:
  void LeConfiguracao();
  bool AplicaScript(HINTERNET sessao, HINTERNET pedido, const std::wstring& url);

  bool lida_ = false;
  bool detecta_ = false;
  std::wstring urlScript_;
  std::wstring proxy_;
  std::wstring excecoes_;
};

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_PROXY_USUARIO_H_
