#ifndef TARVIK_DESCRIPTOR_INFORMACAO_PASTA_H_
#define TARVIK_DESCRIPTOR_INFORMACAO_PASTA_H_

#include <cstdint>
#include <string>
#include <utility>

#include "descriptor/item_sequencia.h"

namespace tarvik {

// One folder entry of the update descriptor: a folder to create or remove.
// A plain value holder that checks nothing it is given.
class InformacaoPasta : public IItemSequencia {
 public:
  int32_t Indice() const override { return indice_; }
  void Indice(int32_t valor) { indice_ = valor; }

  int32_t Acao() const override { return acao_; }
  void Acao(int32_t valor) { acao_ = valor; }

  const std::string& Destino() const override { return destino_; }
  void Destino(std::string valor) { destino_ = std::move(valor); }

  // The folder's name (the descriptor's path value).
  const std::string& Nome() const { return nome_; }
  void Nome(std::string valor) { nome_ = std::move(valor); }

  // The same as `Nome`.
  std::string NomeDestino() const override { return nome_; }

  // Folders never belong to the updater, whatever the descriptor says.
  bool ArquivoAtualizador() const override { return false; }

 private:
  int32_t indice_ = 0;
  int32_t acao_ = 0;
  std::string destino_;
  std::string nome_;
};

}  // namespace tarvik

#endif  // TARVIK_DESCRIPTOR_INFORMACAO_PASTA_H_
