#ifndef TARVIK_TOOLS_PUBLICADOR_NOME_PUBLICAVEL_H_
#define TARVIK_TOOLS_PUBLICADOR_NOME_PUBLICAVEL_H_

#include <string>
#include <string_view>

namespace tarvik::publicacao {

// Why the file or folder name `nome` (one path component, UTF-8) cannot
// travel through a descriptor to a Windows installation; empty when it can.
// A name must be valid on Windows (no control character, none of <>:"/\|?*,
// no reserved device name, no trailing blank or dot), must survive the
// descriptor's code page (Windows-1252) and its URL (no '%' or '#'), and
// must not hold the "$base$" marker that stands for the installation folder.
std::string ProblemaNome(std::string_view nome);

}  // namespace tarvik::publicacao

#endif  // TARVIK_TOOLS_PUBLICADOR_NOME_PUBLICAVEL_H_
