#include "base/url_pedido.h"

#include <string_view>

#include "base/hexadecimal.h"

namespace tarvik {

std::string UrlParaPedido(std::string_view url) {
  static constexpr std::string_view kInseguros = "\"<>\\^`{|}";
  std::string pedido;
  pedido.reserve(url.size());
  for (const char c : url) {
    const auto octeto = static_cast<unsigned char>(c);
    if (octeto <= 0x20 || octeto >= 0x7F || kInseguros.find(c) != std::string_view::npos) {
      pedido += '%';
      AcrescentaHex(pedido, octeto);
    } else {
      pedido += c;
    }
  }
  return pedido;
}

}  // namespace tarvik
