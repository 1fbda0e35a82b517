#include "base/url_pedido.h"

#include <string_view>

namespace tarvik {

std::string UrlParaPedido(std::string_view url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  static constexpr std::string_view kInseguros = "\"<>\\^`{|}";
  std::string pedido;
  pedido.reserve(url.size());
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F || kInseguros.find(c) != std::string_view::npos) {
      pedido += '%';
      pedido += kHex[byte >> 4];
      pedido += kHex[byte & 0x0F];
    } else {
      pedido += c;
    }
  }
  return pedido;
}

}  // namespace tarvik
