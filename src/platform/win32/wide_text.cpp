#include "platform/win32/wide_text.h"

#include <windows.h>

namespace tarvik::platform {

std::wstring WideFromCodePage(unsigned int codePage, std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
  return wide;
}

std::wstring ToWide(std::string_view utf8) { return WideFromCodePage(CP_UTF8, utf8); }

std::string FromWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int needed =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string utf8(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), needed, nullptr, nullptr);
  return utf8;
}

std::string CodePageFromUtf8(unsigned int codePage, std::string_view utf8) {
  const std::wstring wide = ToWide(utf8);
  if (wide.empty()) return {};
  // Without WC_NO_BEST_FIT_CHARS a character the code page lacks may become
  // a look-alike ("ł" as "l") instead of '?'. A system whose code page is
  // UTF-8 holds every character and takes neither the flag nor a default.
  const UINT actual = codePage == CP_ACP     ? ::GetACP()
                      : codePage == CP_OEMCP ? ::GetOEMCP()
                                             : codePage;
  const bool holdsAll = actual == CP_UTF8;
  const DWORD flags = holdsAll ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* unknown = holdsAll ? nullptr : "?";
  const int length = static_cast<int>(wide.size());
  const int needed =
      ::WideCharToMultiByte(actual, flags, wide.data(), length, nullptr, 0, unknown, nullptr);
  if (needed <= 0) return {};
  std::string bytes(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(actual, flags, wide.data(), length, bytes.data(), needed, unknown, nullptr);
  return bytes;
}

}  // namespace tarvik::platform
