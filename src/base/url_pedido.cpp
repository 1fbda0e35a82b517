#include "base/url_pedido.h"

#include <string_view>

#include "base/hexadecimal.h"

namespace tarvik {

std::string UrlParaPedido(std::string_view url) {
  static constexpr std::string_view kInseguros = "\"<>\\^`{|}";
  std::string pedido;
  pedido.reserve(url.size());
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F || kInseguros.find(c) != std::string_view::npos) {
      pedido += '%';
      AcrescentaHex(pedido, byte);
    } else {
      pedido += c;
    }
  }
  return pedido;
}

}  // namespace tarvik
