#ifndef TARVIK_PLATFORM_CODE_PAGE_H_
#define TARVIK_PLATFORM_CODE_PAGE_H_

#include <string>
#include <string_view>

namespace tarvik::platform {

// The system's ANSI code page: Windows-1252 on POSIX, CP_ACP on Windows.
// Inside the program all text is UTF-8.

// UTF-8 to the ANSI code page; a character it cannot hold becomes '?'.
std::string ToAnsiCodePage(std::string_view utf8);

// The ANSI code page to UTF-8, one character per byte.
std::string FromAnsiCodePage(std::string_view bytes);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_CODE_PAGE_H_
