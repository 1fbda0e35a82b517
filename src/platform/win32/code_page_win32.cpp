#include <windows.h>

#include "platform/code_page.h"
#include "platform/win32/wide_text.h"

namespace tarvik::platform {

std::string ToAnsiCodePage(std::string_view utf8) {
  const std::wstring wide = ToWide(utf8);
  if (wide.empty()) return {};
  // Without WC_NO_BEST_FIT_CHARS a character the code page lacks may become
  // a look-alike ("ł" as "l") instead of '?'. A system whose ANSI code page
  // is UTF-8 holds every character and takes neither the flag nor a default.
  const bool utf8System = ::GetACP() == CP_UTF8;
  const DWORD flags = utf8System ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* unknown = utf8System ? nullptr : "?";
  const int length = static_cast<int>(wide.size());
  const int needed =
      ::WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, unknown, nullptr);
  if (needed <= 0) return {};
  std::string bytes(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_ACP, flags, wide.data(), length, bytes.data(), needed, unknown, nullptr);
  return bytes;
}

std::string FromAnsiCodePage(std::string_view bytes) {
  return FromWide(WideFromCodePage(CP_ACP, bytes));
}

}  // namespace tarvik::platform
