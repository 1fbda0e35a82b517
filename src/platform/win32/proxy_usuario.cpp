#include "platform/win32/proxy_usuario.h"

namespace tarvik::platform {
namespace {

// Takes over a text that WinHTTP allocated for the caller.
std::wstring Toma(wchar_t* texto) {
  if (texto == nullptr) return {};
  std::wstring copia(texto);
  ::GlobalFree(texto);
  return copia;
}

void DefineProxy(HINTERNET pedido, WINHTTP_PROXY_INFO& proxy) {
  // A request that cannot take it goes out with the session's default.
  ::WinHttpSetOption(pedido, WINHTTP_OPTION_PROXY, &proxy, sizeof(proxy));
}

}  // namespace

void ProxyDoUsuario::LeConfiguracao() {
  lida_ = true;
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG configuracao{};
  if (!::WinHttpGetIEProxyConfigForCurrentUser(&configuracao)) {
    detecta_ = true;
    return;
  }
  detecta_ = configuracao.fAutoDetect != FALSE;
  urlScript_ = Toma(configuracao.lpszAutoConfigUrl);
  proxy_ = Toma(configuracao.lpszProxy);
  excecoes_ = Toma(configuracao.lpszProxyBypass);
}

bool ProxyDoUsuario::AplicaScript(HINTERNET sessao, HINTERNET pedido, const std::wstring& url) {
  WINHTTP_AUTOPROXY_OPTIONS opcoes{};
  if (detecta_) {
    opcoes.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
    opcoes.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
  }
  if (!urlScript_.empty()) {
    opcoes.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
    opcoes.lpszAutoConfigUrl = urlScript_.c_str();
  }
  WINHTTP_PROXY_INFO proxy{};
  BOOL achou = ::WinHttpGetProxyForUrl(sessao, url.c_str(), &opcoes, &proxy);
  if (!achou && ::GetLastError() == ERROR_WINHTTP_LOGIN_FAILURE) {
    // The script's server asks who we are: answer with the user's logon.
    opcoes.fAutoLogonIfChallenged = TRUE;
    achou = ::WinHttpGetProxyForUrl(sessao, url.c_str(), &opcoes, &proxy);
  }
  if (!achou) {
    // Searching a network without a script takes seconds: once is enough.
    detecta_ = false;
    urlScript_.clear();
    return false;
  }
  DefineProxy(pedido, proxy);
  ::GlobalFree(proxy.lpszProxy);
  ::GlobalFree(proxy.lpszProxyBypass);
  return true;
}

void ProxyDoUsuario::Aplica(HINTERNET sessao, HINTERNET pedido, const std::wstring& url) {
  if (!lida_) LeConfiguracao();
  if ((detecta_ || !urlScript_.empty()) && AplicaScript(sessao, pedido, url)) return;
  if (proxy_.empty()) return;
  WINHTTP_PROXY_INFO proxy{};
  proxy.dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
  proxy.lpszProxy = proxy_.data();
  proxy.lpszProxyBypass = excecoes_.empty() ? nullptr : excecoes_.data();
  DefineProxy(pedido, proxy);
}

}  // namespace tarvik::platform
