#include "tasks/contexto_execucao.h"

namespace tarvik {

std::shared_ptr<ListaItensEmUso> ContextoExecucao::ListaArquivosEmUso() {
  if (!listaArquivosEmUso_) listaArquivosEmUso_ = std::make_shared<ListaItensEmUso>();
  return listaArquivosEmUso_;
}

void ContextoExecucao::Copia(const std::string& origem, const std::string& destino,
                             platform::InUseTest teste, platform::CopyBatch::Kind tipo) {
  if (agrupadas_) {
    copias_.Add(origem, destino, teste, tipo);
  } else {
    platform::CopyFileReplacing(origem, destino, teste);
  }
}

}  // namespace tarvik
