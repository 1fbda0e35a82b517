#include "platform/win32/erro_winhttp.h"

#include <windows.h>
// After windows.h, which winhttp.h needs.
#include <winhttp.h>

#include <string_view>

#include "platform/win32/wide_text.h"

namespace tarvik::platform {
namespace {

// WSAETIMEDOUT: WinHTTP may pass on the socket's own timeout, which is the
// same failure as its own.
constexpr uint32_t kTempoEsgotadoSocket = 10060;

// WinHTTP's numbers are described in winhttp.dll's message table, the
// others in the system's.
std::string TextoDoSistema(DWORD codigo) {
  wchar_t* texto = nullptr;
  const DWORD tamanho =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                           FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       ::GetModuleHandleW(L"winhttp.dll"), codigo, 0,
                       reinterpret_cast<wchar_t*>(&texto), 0, nullptr);
  if (tamanho == 0 || texto == nullptr) return {};
  std::wstring_view linha(texto, tamanho);
  while (!linha.empty() &&
         (linha.back() == L'\r' || linha.back() == L'\n' || linha.back() == L' ')) {
    linha.remove_suffix(1);
  }
  std::string utf8 = FromWide(linha);
  ::LocalFree(texto);
  return utf8;
}

}  // namespace

Erro ErroWinHttp(uint32_t codigo, const std::string& origem, const std::string& servidor) {
  if (codigo == kTempoEsgotadoSocket) codigo = ERROR_WINHTTP_TIMEOUT;
  std::string descricao = TextoDoSistema(codigo);
  if (descricao.empty()) descricao = "Erro WinHTTP " + std::to_string(codigo);
  if (!servidor.empty()) descricao += " [" + servidor + "]";
  return Erro(static_cast<int32_t>(codigo), origem, std::move(descricao));
}

}  // namespace tarvik::platform
