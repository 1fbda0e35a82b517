#ifndef TARVIK_BASE_TEXTO_H_
#define TARVIK_BASE_TEXTO_H_

#include <string>
#include <string_view>

namespace tarvik {

// Removes leading and trailing space characters (only ' ', not tabs).
std::string_view RemoveEspacos(std::string_view texto);

// The text folded for comparisons without regard to letter case: ASCII and
// the accented Latin-1 letters (as UTF-8) become lower case.
std::string DobraCaixa(std::string_view texto);

// True when both texts are equal without regard to letter case.
bool IgualSemCaixa(std::string_view a, std::string_view b);

}  // namespace tarvik

#endif  // TARVIK_BASE_TEXTO_H_
