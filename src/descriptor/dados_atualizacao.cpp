#include "descriptor/dados_atualizacao.h"

#include "base/erro.h"

namespace tarvik {

void DadosAtualizacao::AjustaTamanhoArquivosRecuperar(int32_t quantidade) {
  if (quantidade < 1) {
    throw ErroPadrao(codigo_erro::kPosicaoInvalida,
                     "DadosAtualizacao:AjustaTamanhoArquivosRecuperar");
  }
  arquivosRecuperar_.assign(static_cast<size_t>(quantidade), nullptr);
}

std::shared_ptr<ItensDeSequencia> DadosAtualizacao::ItensSequencia() const {
  if (!itensSequencia_) itensSequencia_ = std::make_shared<ItensDeSequencia>();
  return itensSequencia_;
}

}  // namespace tarvik
