#ifndef TARVIK_TASKS_CONVERSAO_DETALHE_H_
#define TARVIK_TASKS_CONVERSAO_DETALHE_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

// How the script writes numbers and flags into task details and how the
// tasks read them back.

// "True" or "False".
std::string TextoDeLogico(bool valor);

// "True" or "False" in any letter case, or a whole number (0 is false, any
// other true), spaces around allowed. Anything else raises 13.
bool LogicoDeTexto(std::string_view texto);

// A whole decimal number with an optional sign, spaces around allowed.
// Anything else raises 13; a number beyond 32 bits raises 6.
int32_t InteiroDeTexto(std::string_view texto);

}  // namespace tarvik

#endif  // TARVIK_TASKS_CONVERSAO_DETALHE_H_
