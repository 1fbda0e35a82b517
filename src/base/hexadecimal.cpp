#include "base/hexadecimal.h"

namespace tarvik {
namespace {
constexpr std::string_view kDigitos = "0123456789ABCDEF0123456789abcdef";
constexpr size_t kMinusculos = 16;
}  // namespace

void AcrescentaHex(std::string& texto, unsigned char octeto) {
  texto += kDigitos[octeto >> 4];
  texto += kDigitos[octeto & 0x0F];
}

std::string HexMinusculo(std::span<const unsigned char> bytes) {
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const unsigned char octeto : bytes) {
    hex += kDigitos[kMinusculos + (octeto >> 4)];
    hex += kDigitos[kMinusculos + (octeto & 0x0F)];
  }
  return hex;
}

std::string EscapaControles(std::string_view texto) {
  std::string escapado;
  escapado.reserve(texto.size());
  for (const char c : texto) {
    const auto octeto = static_cast<unsigned char>(c);
    if (octeto < 0x20 || octeto == 0x7F) {
      escapado += "\\x";
      AcrescentaHex(escapado, octeto);
    } else {
      escapado += c;
    }
  }
  return escapado;
}

}  // namespace tarvik
