#ifndef TARVIK_TASKS_CONTEXTO_EXECUCAO_H_
#define TARVIK_TASKS_CONTEXTO_EXECUCAO_H_

#include <memory>
#include <string>

#include "platform/files.h"
#include "tasks/item_em_uso.h"

namespace tarvik {

// The state that the tasks of one update run share: the files found in use
// and the copies waiting for their flush.
class ContextoExecucao {
 public:
  // The run's list of files in use. The first read creates it empty; every
  // read yields that same list, so what a task appends every later reader
  // sees. Never fails.
  std::shared_ptr<ListaItensEmUso> ListaArquivosEmUso();

  // With `agrupadas` on, the tasks' copies wait, written but not yet in
  // place, for `ConcluiCopias` to flush them together and put them in place
  // (platform::CopyBatch); off, as it starts, each copy is on the disk and
  // in place when `Copia` returns. Whoever turns it on decides when no
  // task may look at a waiting copy's target any more.
  void AgrupaCopias(bool agrupadas) { agrupadas_ = agrupadas; }

  // Copies `origem` onto `destino` as platform::CopyFileReplacing does, or
  // into the waiting copies; fails as it does.
  void Copia(const std::string& origem, const std::string& destino, platform::InUseTest teste,
             platform::CopyBatch::Kind tipo = platform::CopyBatch::Kind::kRequired);

  // Puts the waiting copies in place; see platform::CopyBatch::Commit.
  void ConcluiCopias() { copias_.Commit(); }

 private:
  std::shared_ptr<ListaItensEmUso> listaArquivosEmUso_;
  bool agrupadas_ = false;
  platform::CopyBatch copias_;
};

}  // namespace tarvik

#endif  // TARVIK_TASKS_CONTEXTO_EXECUCAO_H_
