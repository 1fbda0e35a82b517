#ifndef TARVIK_SERVER_DESCRITOR_H_
#define TARVIK_SERVER_DESCRITOR_H_

#include <memory>
#include <string>

#include "base/colecao.h"

namespace tarvik {

// One value line of a descriptor section: the key as written (stripped of
// spaces) and the value, which keeps its spaces.
struct ValorDescritor {
  std::string chave;
  std::string valor;
};

// A section: its values keyed by key, without regard to letter case.
using Secao = Colecao<ValorDescritor>;

// The descriptor: its sections keyed by name, without regard to letter case.
using Secoes = Colecao<std::shared_ptr<Secao>>;

// Cuts the first line off `texto` and returns it. While `texto` holds a
// CR LF anywhere, lines end at the first CR LF (a lone LF or CR before it
// stays in the line); otherwise at the first LF, or else at the first CR;
// without any, the whole text is the line. Never fails.
std::string SeparaLinhas(std::string& texto);

// Reads the sections of `conteudo` up to its first blank line or its end,
// and leaves in `conteudo` only what follows that blank line. Raises `Erro`
// naming the line at fault for a value line before the first section header
// (5), a header that is a lone "[" (5), and a key repeated within a section
// or a repeated section name (457).
Secoes InterpretaConteudo(std::string& conteudo);

}  // namespace tarvik

#endif  // TARVIK_SERVER_DESCRITOR_H_
