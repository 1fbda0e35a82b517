#include "base/cp1252.h"

#include <array>
#include <cstdint>

namespace tarvik {
namespace {

// Code points of the bytes 0x80 to 0x9F; the others equal their byte.
constexpr std::array<char32_t, 32> kFaixa80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char ByteDe(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (size_t i = 0; i < kFaixa80.size(); ++i) {
    if (kFaixa80[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

void AcrescentaUtf8(std::string& saida, char32_t c) {
  if (c < 0x80) {
    saida += static_cast<char>(c);
  } else if (c < 0x800) {
    saida += static_cast<char>(0xC0 | (c >> 6));
    saida += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    saida += static_cast<char>(0xE0 | (c >> 12));
    saida += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    saida += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 sequence at `i`, advancing it; 0xFFFD when malformed.
char32_t LeUtf8(std::string_view texto, size_t& i) {
  const auto primeiro = static_cast<unsigned char>(texto[i++]);
  if (primeiro < 0x80) return primeiro;
  int restantes = 0;
  char32_t c = 0;
  char32_t minimo = 0;
  if ((primeiro & 0xE0) == 0xC0) {
    restantes = 1, c = primeiro & 0x1F, minimo = 0x80;
  } else if ((primeiro & 0xF0) == 0xE0) {
    restantes = 2, c = primeiro & 0x0F, minimo = 0x800;
  } else if ((primeiro & 0xF8) == 0xF0) {
    restantes = 3, c = primeiro & 0x07, minimo = 0x10000;
  } else {
    return 0xFFFD;
  }
  for (; restantes > 0; --restantes) {
    if (i >= texto.size()) return 0xFFFD;
    const auto seguinte = static_cast<unsigned char>(texto[i]);
    if ((seguinte & 0xC0) != 0x80) return 0xFFFD;
    c = (c << 6) | (seguinte & 0x3F);
    ++i;
  }
  if (c < minimo || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
  return c;
}

}  // namespace

std::string ParaCp1252(std::string_view utf8) {
  std::string saida;
  saida.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) saida += ByteDe(LeUtf8(utf8, i));
  return saida;
}

std::string DeCp1252(std::string_view bytes) {
  std::string saida;
  saida.reserve(bytes.size() + bytes.size() / 8);
  for (const char octeto : bytes) {
    const auto b = static_cast<unsigned char>(octeto);
    AcrescentaUtf8(saida, (b >= 0x80 && b < 0xA0) ? kFaixa80[b - 0x80] : char32_t{b});
  }
  return saida;
}

}  // namespace tarvik
