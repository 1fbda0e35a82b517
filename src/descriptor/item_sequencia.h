#ifndef TARVIK_DESCRIPTOR_ITEM_SEQUENCIA_H_
#define TARVIK_DESCRIPTOR_ITEM_SEQUENCIA_H_

#include <cstdint>
#include <string>

namespace tarvik {

// What the script runner reads from an entry of the update sequence without
// knowing whether it is a file or a folder entry.
class IItemSequencia {
 public:
  virtual ~IItemSequencia() = default;

  // The entry's index in the sequence section, from 1.
  virtual int32_t Indice() const = 0;
  // The action code of the entry.
  virtual int32_t Acao() const = 0;
  // The target folder as the descriptor gives it ("$base$" not yet resolved).
  virtual const std::string& Destino() const = 0;
  // The name the entry takes inside `Destino`.
  virtual std::string NomeDestino() const = 0;
  // True when the entry belongs to the updater itself.
  virtual bool ArquivoAtualizador() const = 0;
};

}  // namespace tarvik

#endif  // TARVIK_DESCRIPTOR_ITEM_SEQUENCIA_H_
