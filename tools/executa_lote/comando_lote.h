#ifndef TARVIK_TOOLS_EXECUTA_LOTE_COMANDO_LOTE_H_
#define TARVIK_TOOLS_EXECUTA_LOTE_COMANDO_LOTE_H_

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::lote {

// One line of a restart batch, as the updater writes it.
struct ComandoLote {
  enum class Tipo {
    kAguarda,  // rundll32 "<folder>\atualiza.dll",_fnAguarda@16 <pid>
    kCopia,    // copy /y "<origem>" "<destino>"
    kRemove,   // del /f "<origem>"
    kInicia,   // start tarvik.exe <argumentos>
  };
  Tipo tipo;
  uint32_t processo = 0;
  std::string origem;
  std::string destino;
  std::string argumentos;
  std::string linha;  // the line as written, for messages
};

// A line that is none of the forms above; nothing of the batch may run.
class LinhaDesconhecida : public std::runtime_error {
 public:
  LinhaDesconhecida(size_t numero, const std::string& linha);
};

// The commands of a batch, given as UTF-8 text with CR LF line ends (the
// last line's CR LF optional). Every line is checked before the caller runs
// any: one that is not understood raises `LinhaDesconhecida`.
std::vector<ComandoLote> InterpretaLote(std::string_view texto);

}  // namespace tarvik::lote

#endif  // TARVIK_TOOLS_EXECUTA_LOTE_COMANDO_LOTE_H_
