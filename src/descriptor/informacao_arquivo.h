#ifndef TARVIK_DESCRIPTOR_INFORMACAO_ARQUIVO_H_
#define TARVIK_DESCRIPTOR_INFORMACAO_ARQUIVO_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "descriptor/item_sequencia.h"

namespace tarvik {

// The file-name part of a URL: what follows the last "/" after the server
// (and port) part; a query stays in it. Empty for a URL without a path, for
// one that ends in "/", and for a text without a ":" followed later by "//"
// (a local path). Never fails.
std::string NomeArquivoUrl(std::string_view url);

// One file entry of the update descriptor: a file to download, replace or
// remove, or an installed file the update expects. A plain value holder that
// checks nothing it is given.
class InformacaoArquivo : public IItemSequencia {
 public:
  bool ArquivoAtualizador() const override { return arquivoAtualizador_; }
  void ArquivoAtualizador(bool valor) { arquivoAtualizador_ = valor; }

  // The code signature must be verified after download.
  bool Authenticode() const { return authenticode_; }
  void Authenticode(bool valor) { authenticode_ = valor; }

  int32_t Indice() const override { return indice_; }
  void Indice(int32_t valor) { indice_ = valor; }

  int32_t Acao() const override { return acao_; }
  void Acao(int32_t valor) { acao_ = valor; }

  // Where the file is downloaded from.
  const std::string& Url() const { return url_; }
  void Url(std::string valor) { url_ = std::move(valor); }

  // The expected hash text of the file.
  const std::string& hash() const { return hash_; }
  void hash(std::string valor) { hash_ = std::move(valor); }

  const std::string& Destino() const override { return destino_; }
  void Destino(std::string valor) { destino_ = std::move(valor); }

  // The expected size in bytes.
  int32_t tamanho() const { return tamanho_; }
  void tamanho(int32_t valor) { tamanho_ = valor; }

  // The file name taken from `Url` by `NomeArquivoUrl`.
  std::string NomeDestino() const override { return NomeArquivoUrl(url_); }

 private:
  bool arquivoAtualizador_ = false;
  bool authenticode_ = false;
  int32_t indice_ = 0;
  int32_t acao_ = 0;
  int32_t tamanho_ = 0;
  std::string url_;
  std::string hash_;
  std::string destino_;
};

}  // namespace tarvik

#endif  // TARVIK_DESCRIPTOR_INFORMACAO_ARQUIVO_H_
