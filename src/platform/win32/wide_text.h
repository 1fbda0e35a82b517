#ifndef TARVIK_PLATFORM_WIN32_WIDE_TEXT_H_
#define TARVIK_PLATFORM_WIN32_WIDE_TEXT_H_

#include <string>
#include <string_view>

namespace tarvik::platform {

// UTF-8 to the UTF-16 of the wide-character APIs; a malformed sequence
// becomes U+FFFD.
std::wstring ToWide(std::string_view utf8);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string FromWide(std::wstring_view wide);

// `text` in the code page `codePage` to UTF-16.
std::wstring WideFromCodePage(unsigned int codePage, std::string_view text);

// UTF-8 to the code page `codePage` (CP_ACP and CP_OEMCP included); a
// character it cannot hold becomes '?'.
std::string CodePageFromUtf8(unsigned int codePage, std::string_view utf8);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_WIDE_TEXT_H_
