#ifndef TARVIK_TASKS_ITEM_EM_USO_H_
#define TARVIK_TASKS_ITEM_EM_USO_H_

#include <cstdint>
#include <memory>
#include <string>

#include "base/colecao.h"

namespace tarvik {

// What the restart batch does with a record.
namespace acao_em_uso {
inline constexpr int32_t kCopiar = 0;   // copy Origem over Destino
inline constexpr int32_t kRemover = 1;  // delete Origem
}  // namespace acao_em_uso

// One file operation that failed during an update run because another
// process held the file, left to the restart batch. Nothing is validated.
class ItemEmUso {
 public:
  int32_t Acao() const { return acao_; }
  void Acao(int32_t valor) { acao_ = valor; }

  // The file to copy (Acao 0) or to delete (Acao 1).
  const std::string& Origem() const { return origem_; }
  void Origem(const std::string& valor) { origem_ = valor; }

  // The file to overwrite with Origem (Acao 0); empty for Acao 1.
  const std::string& Destino() const { return destino_; }
  void Destino(const std::string& valor) { destino_ = valor; }

 private:
  int32_t acao_ = 0;
  std::string origem_;
  std::string destino_;
};

// The records of one run, in the order the tasks made them.
using ListaItensEmUso = Colecao<std::shared_ptr<ItemEmUso>>;

}  // namespace tarvik

#endif  // TARVIK_TASKS_ITEM_EM_USO_H_
