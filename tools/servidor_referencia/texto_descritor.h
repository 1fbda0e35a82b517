#ifndef TARVIK_TOOLS_SERVIDOR_REFERENCIA_TEXTO_DESCRITOR_H_
#define TARVIK_TOOLS_SERVIDOR_REFERENCIA_TEXTO_DESCRITOR_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "descriptor/chaves_descritor.h"

namespace tarvik::publicacao {

// Names of the descriptor's sections and keys, as the updater reads them.
namespace chave = ::tarvik::chave_descritor;

// Builds the text of a descriptor: section headers and key=value lines, each
// ended by CR LF, with no blank line, since a blank line ends what the
// updater reads.
class TextoDescritor {
 public:
  // Starts the section `nome`.
  void Secao(std::string_view nome);
  // One key=value line. A line break inside `valor` would start a line of
  // its own, so it raises std::invalid_argument.
  void Valor(std::string_view chave, std::string_view valor);
  // One line whose key is `radical` followed by `indice` in decimal.
  void Valor(std::string_view radical, int32_t indice, std::string_view valor);
  // A truth value, written "true" or "false".
  static std::string_view Logico(bool valor);

  // The text as the server sends it, in Windows-1252, one byte a character.
  std::string Cp1252() const;

 private:
  std::string texto_;
};

// The answer for an installation that has nothing to update: the four keys
// that are always read, with `atualizar` "false" and `versao` the given text.
std::string DescritorSemAtualizacao(std::string_view versao);

}  // namespace tarvik::publicacao

#endif  // TARVIK_TOOLS_SERVIDOR_REFERENCIA_TEXTO_DESCRITOR_H_
