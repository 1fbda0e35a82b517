#include "platform/win32/texto_utf16.h"

#include <windows.h>

namespace tarvik::platform {

std::wstring ParaUtf16(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int origem = static_cast<int>(utf8.size());
  const int tamanho = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), origem, nullptr, 0);
  std::wstring largo(static_cast<size_t>(tamanho), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), origem, largo.data(), tamanho);
  return largo;
}

std::string DeUtf16(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int origem = static_cast<int>(utf16.size());
  const int tamanho =
      ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), origem, nullptr, 0, nullptr, nullptr);
  std::string estreito(static_cast<size_t>(tamanho), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), origem, estreito.data(), tamanho, nullptr,
                        nullptr);
  return estreito;
}

}  // namespace tarvik::platform
