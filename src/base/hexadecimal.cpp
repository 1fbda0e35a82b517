#include "base/hexadecimal.h"

namespace tarvik {
namespace {
constexpr std::string_view kDigitos = "0123456789ABCDEF0123456789abcdef";
constexpr size_t kMinusculos = 16;
}  // namespace

void AcrescentaHex(std::string& texto, unsigned char byte) {
  texto += kDigitos[byte >> 4];
  texto += kDigitos[byte & 0x0F];
}

std::string HexMinusculo(std::span<const unsigned char> bytes) {
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const unsigned char byte : bytes) {
    hex += kDigitos[kMinusculos + (byte >> 4)];
    hex += kDigitos[kMinusculos + (byte & 0x0F)];
  }
  return hex;
}

std::string EscapaControles(std::string_view texto) {
  std::string escapado;
  escapado.reserve(texto.size());
  for (const char c : texto) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      escapado += "\\x";
      AcrescentaHex(escapado, byte);
    } else {
      escapado += c;
    }
  }
  return escapado;
}

}  // namespace tarvik
