#ifndef TARVIK_BASE_HEXADECIMAL_H_
#define TARVIK_BASE_HEXADECIMAL_H_

#include <span>
#include <string>
#include <string_view>

namespace tarvik {

// Appends the two upper-case hexadecimal digits of `octeto`, the form of the
// %XX and \xXX escapes.
void AcrescentaHex(std::string& texto, unsigned char octeto);

// `bytes` as lower-case hexadecimal digits, the form sha256sum prints.
std::string HexMinusculo(std::span<const unsigned char> bytes);

// `texto` with each control character written as \xXX, so that a text from
// outside cannot break a line-based listing into false lines.
std::string EscapaControles(std::string_view texto);

}  // namespace tarvik

#endif  // TARVIK_BASE_HEXADECIMAL_H_
