#ifndef TARVIK_TASKS_CONTEXTO_EXECUCAO_H_
#define TARVIK_TASKS_CONTEXTO_EXECUCAO_H_

#include <memory>

#include "tasks/item_em_uso.h"

namespace tarvik {

// The state that the tasks of one update run share: the files found in use.
class ContextoExecucao {
 public:
  // The run's list of files in use. The first read creates it empty; every
  // read yields that same list, so what a task appends every later reader
  // sees. Never fails.
  std::shared_ptr<ListaItensEmUso> ListaArquivosEmUso();

 private:
  std::shared_ptr<ListaItensEmUso> listaArquivosEmUso_;
};

}  // namespace tarvik

#endif  // TARVIK_TASKS_CONTEXTO_EXECUCAO_H_
