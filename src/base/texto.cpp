#include "base/texto.h"

namespace tarvik {

std::string_view RemoveEspacos(std::string_view texto) {
  const auto inicio = texto.find_first_not_of(' ');
  if (inicio == std::string_view::npos) return {};
  const auto fim = texto.find_last_not_of(' ');
  return texto.substr(inicio, fim - inicio + 1);
}

std::string DobraCaixa(std::string_view texto) {
  std::string dobrado(texto);
  for (size_t i = 0; i < dobrado.size(); ++i) {
    auto& c = reinterpret_cast<unsigned char&>(dobrado[i]);
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<unsigned char>(c + ('a' - 'A'));
    } else if (c == 0xC3 && i + 1 < dobrado.size()) {
      // U+00C0..U+00DE (but U+00D7, the multiplication sign) fold onto
      // U+00E0..U+00FE, which in UTF-8 differ only in the second byte.
      auto& segundo = reinterpret_cast<unsigned char&>(dobrado[i + 1]);
      if (segundo >= 0x80 && segundo <= 0x9E && segundo != 0x97) {
        segundo = static_cast<unsigned char>(segundo + 0x20);
      }
      ++i;
    }
  }
  return dobrado;
}

bool IgualSemCaixa(std::string_view a, std::string_view b) {
  // Folding keeps the length, so most pairs part on it; the rest compare
  // byte by byte, folded as `DobraCaixa` does, without allocating.
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + ('a' - 'A'));
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + ('a' - 'A'));
    if (x != y) return false;
    if (x == 0xC3 && i + 1 < a.size()) {
      ++i;
      auto segundoA = static_cast<unsigned char>(a[i]);
      auto segundoB = static_cast<unsigned char>(b[i]);
      if (segundoA >= 0x80 && segundoA <= 0x9E && segundoA != 0x97) segundoA += 0x20;
      if (segundoB >= 0x80 && segundoB <= 0x9E && segundoB != 0x97) segundoB += 0x20;
      if (segundoA != segundoB) return false;
    }
  }
  return true;
}

}  // namespace tarvik
