#ifndef TARVIK_DESCRIPTOR_DESCRITOR_H_
#define TARVIK_DESCRIPTOR_DESCRITOR_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/colecao.h"

namespace tarvik {

// One value line of a descriptor section: the key as written (stripped of
// spaces) and the value, which keeps its spaces. Both are views into the
// descriptor's text.
struct ValorDescritor {
  std::string_view chave;
  std::string_view valor;
};

// The text of a descriptor and the lines and key order of all its sections.
class ArmazemDescritor;

// One section of a descriptor: text values keyed by key, compared without
// regard to letter case. Every section keeps the descriptor's text alive.
class Secao {
 public:
  // Section number `numero` of `armazem`.
  Secao(std::shared_ptr<const ArmazemDescritor> armazem, uint32_t numero);

  // The value under `chave`; nothing when the key is missing.
  std::optional<std::string_view> Procura(std::string_view chave) const;

  // The number of value lines, and the line at `posicao` (from 0), in the
  // order of the text.
  size_t Quantidade() const;
  ValorDescritor Valor(size_t posicao) const;

 private:
  std::shared_ptr<const ArmazemDescritor> armazem_;
  uint32_t numero_;
  // Readers take an entry's keys in the order servers write them, so the
  // lines after the last one found are tried before the search.
  mutable size_t proxima_ = 0;
};

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
// or a repeated section name (457); a text of 4 GiB or more raises 6.
Secoes InterpretaConteudo(std::string& conteudo);

}  // namespace tarvik

#endif  // TARVIK_DESCRIPTOR_DESCRITOR_H_
