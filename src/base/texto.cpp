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
  return a.size() == b.size() && DobraCaixa(a) == DobraCaixa(b);
}

}  // namespace tarvik
