#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "base/cp1252.h"
#include "base/erro.h"
#include "base/texto.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace tarvik::platform {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  const auto start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The raw value of `key` in `section` of the profile text, or nothing.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
  bool inSection = false;
  bool sectionSeen = false;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = TrimBlanks(line);
    if (!line.empty() && line.front() == '[') {
      // Only the first section of a name counts.
      const auto close = line.find(']');
      const auto name =
          TrimBlanks(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
      inSection = !sectionSeen && IgualSemCaixa(name, section);
      sectionSeen = sectionSeen || inSection;
      continue;
    }
    const auto equals = line.find('=');
    if (inSection && equals != std::string_view::npos &&
        IgualSemCaixa(TrimBlanks(line.substr(0, equals)), key)) {
      return Unquote(TrimBlanks(line.substr(equals + 1)));
    }
  }
  return std::nullopt;
}

// UTF-16 little-endian to UTF-8. Only the basic plane can reach the ANSI
// code page: a surrogate pair, or a lone surrogate, becomes U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes) {
  const auto unit = [&](size_t at) {
    return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]) |
                                 static_cast<unsigned char>(bytes[at + 1]) << 8);
  };
  const auto isSurrogate = [](unsigned c) { return c >= 0xD800 && c <= 0xDFFF; };
  std::string utf8;
  for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
    unsigned c = unit(at);
    if (isSurrogate(c)) {
      if (c <= 0xDBFF && at + 3 < bytes.size() && unit(at + 2) >= 0xDC00 &&
          unit(at + 2) <= 0xDFFF) {
        at += 2;
      }
      c = 0xFFFD;
    }
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
      utf8 += static_cast<char>(0xC0 | c >> 6);
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      utf8 += static_cast<char>(0xE0 | c >> 12);
      utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

// The profile's bytes in the ANSI code page. Like Windows, a file that
// starts with the mark of UTF-16 (little-endian) or UTF-8 is read in that
// encoding; any other is taken as ANSI.
std::string InAnsiCodePage(std::string_view bytes) {
  constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (bytes.starts_with(kUtf16LeMark)) return ParaCp1252(Utf16LeToUtf8(bytes.substr(2)));
  if (bytes.starts_with(kUtf8Mark)) return ParaCp1252(bytes.substr(3));
  return std::string(bytes);
}

}  // namespace

std::string WindowsDirectory() {
  const char* windir = std::getenv("WINDIR");
  return windir && *windir ? windir : "/etc";
}

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& fileName,
                              size_t bufferSize) {
  if (bufferSize == 0) return {};
  const bool bare = fileName.find_first_of("/\\") == std::string::npos;
  const std::string path = bare ? WindowsDirectory() + "/" + fileName : fileName;
  std::string bytes;
  try {
    bytes = ReadBytes(path);
  } catch (const Erro&) {
    bytes.clear();
  }
  // The profile is read as C text in the ANSI code page: a NUL ends it.
  bytes = InAnsiCodePage(bytes);
  bytes.resize(std::min(bytes.size(), bytes.find('\0')));
  const std::string_view text = bytes;

  const auto value = FindValue(text, ParaCp1252(section), ParaCp1252(key));
  const std::string chosen = value ? std::string(*value) : ParaCp1252(defaultValue);
  return DeCp1252(std::string_view(chosen).substr(0, bufferSize - 1));
}

}  // namespace tarvik::platform
