#include <windows.h>

#include "platform/code_page.h"
#include "platform/win32/wide_text.h"

namespace tarvik::platform {

std::string ToAnsiCodePage(std::string_view utf8) { return CodePageFromUtf8(CP_ACP, utf8); }

std::string FromAnsiCodePage(std::string_view bytes) {
  return FromWide(WideFromCodePage(CP_ACP, bytes));
}

}  // namespace tarvik::platform
