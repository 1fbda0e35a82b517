#ifndef TARVIK_PLATFORM_WIN32_TEXTO_UTF16_H_
#define TARVIK_PLATFORM_WIN32_TEXTO_UTF16_H_

#include <string>
#include <string_view>

namespace tarvik::platform {

// UTF-8 to UTF-16, for the wide Windows calls; a malformed sequence becomes
// U+FFFD.
std::wstring ParaUtf16(std::string_view utf8);

// UTF-16 from Windows to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string DeUtf16(std::wstring_view utf16);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_TEXTO_UTF16_H_
