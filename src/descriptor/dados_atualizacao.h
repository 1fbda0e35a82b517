#ifndef TARVIK_DESCRIPTOR_DADOS_ATUALIZACAO_H_
#define TARVIK_DESCRIPTOR_DADOS_ATUALIZACAO_H_

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/colecao.h"
#include "descriptor/informacao_arquivo.h"
#include "descriptor/item_sequencia.h"

namespace tarvik {

// An array of file entries, indices from 0. Empty stands for an unallocated
// array: an allocated one always has at least one element.
using ArranjoArquivos = std::vector<std::shared_ptr<InformacaoArquivo>>;

// The entries of the update sequence, files and folders mixed, in index order.
using ItensDeSequencia = Colecao<std::shared_ptr<IItemSequencia>>;

// One parsed answer of the update server: whether to update, the versions,
// and the entries. A plain value holder that checks nothing it is given.
class DadosAtualizacao {
 public:
  // Number of entries announced in the sequence section.
  int32_t NumeroArquivosRecuperar() const { return numeroArquivosRecuperar_; }
  void NumeroArquivosRecuperar(int32_t valor) { numeroArquivosRecuperar_ = valor; }

  // Number of installed files listed in `ArquivosOriginais`.
  int32_t NumeroArquivosOriginais() const { return numeroArquivosOriginais_; }
  void NumeroArquivosOriginais(int32_t valor) { numeroArquivosOriginais_ = valor; }

  // The update concerns the updater's own files.
  bool AtualizarAtualizador() const { return atualizarAtualizador_; }
  void AtualizarAtualizador(bool valor) { atualizarAtualizador_ = valor; }

  // The installed files the update expects. Reading yields a copy of the
  // array whose elements are the same entries; writing replaces the array.
  ArranjoArquivos ArquivosOriginais() const { return arquivosOriginais_; }
  void ArquivosOriginais(ArranjoArquivos valor) { arquivosOriginais_ = std::move(valor); }

  // The files to download, with the same copy semantics.
  ArranjoArquivos ArquivosRecuperar() const { return arquivosRecuperar_; }
  void ArquivosRecuperar(ArranjoArquivos valor) { arquivosRecuperar_ = std::move(valor); }

  // The version the installation has after the update.
  const std::string& NovaVersao() const { return novaVersao_; }
  void NovaVersao(std::string valor) { novaVersao_ = std::move(valor); }

  // The version of the files `ArquivosOriginais` lists.
  const std::string& VelhaVersao() const { return velhaVersao_; }
  void VelhaVersao(std::string valor) { velhaVersao_ = std::move(valor); }

  // An update is to be applied at all.
  bool Atualizar() const { return atualizar_; }
  void Atualizar(bool valor) { atualizar_ = valor; }

  // Replaces `ArquivosRecuperar` with `quantidade` empty elements. A
  // `quantidade` below 1 raises 9 and leaves the array as it was.
  void AjustaTamanhoArquivosRecuperar(int32_t quantidade);

  // The sequence. The first read without one creates and keeps an empty
  // collection, so every read yields the same collection; writing stores the
  // given collection itself, shared.
  std::shared_ptr<ItensDeSequencia> ItensSequencia() const;
  void ItensSequencia(std::shared_ptr<ItensDeSequencia> valor) {
    itensSequencia_ = std::move(valor);
  }

 private:
  int32_t numeroArquivosRecuperar_ = 0;
  int32_t numeroArquivosOriginais_ = 0;
  bool atualizarAtualizador_ = false;
  bool atualizar_ = false;
  ArranjoArquivos arquivosOriginais_;
  ArranjoArquivos arquivosRecuperar_;
  std::string novaVersao_;
  std::string velhaVersao_;
  // Created on first read, which is still a read for the callers.
  mutable std::shared_ptr<ItensDeSequencia> itensSequencia_;
};

}  // namespace tarvik

#endif  // TARVIK_DESCRIPTOR_DADOS_ATUALIZACAO_H_
