#ifndef TARVIK_BASE_URL_PEDIDO_H_
#define TARVIK_BASE_URL_PEDIDO_H_

#include <string>
#include <string_view>

namespace tarvik {

// The URL as it can travel in an HTTP request line: bytes that cannot stand
// there (blanks, control characters, non-ASCII, '"', '<', '>', '\', '^',
// '`', '{', '|', '}') become %XX of their UTF-8 bytes; everything else,
// '&', '=' and '%' included, stays as written.
std::string UrlParaPedido(std::string_view url);

}  // namespace tarvik

#endif  // TARVIK_BASE_URL_PEDIDO_H_
