#include "tasks/contexto_execucao.h"

namespace tarvik {

std::shared_ptr<ListaItensEmUso> ContextoExecucao::ListaArquivosEmUso() {
  if (!listaArquivosEmUso_) listaArquivosEmUso_ = std::make_shared<ListaItensEmUso>();
  return listaArquivosEmUso_;
}

}  // namespace tarvik
