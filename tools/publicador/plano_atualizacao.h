#ifndef TARVIK_TOOLS_PUBLICADOR_PLANO_ATUALIZACAO_H_
#define TARVIK_TOOLS_PUBLICADOR_PLANO_ATUALIZACAO_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "servidor_referencia/catalogo.h"

namespace tarvik::publicacao {

// Which PE files the updater is asked to verify the signature of.
enum class ModoAuthenticode {
  kAutomatico,  // those that carry a signature
  kExigido,     // all of them; a new PE file without a signature is refused
  kNunca,       // none
};

// What one publication is given.
struct ParametrosPublicacao {
  Produto produto = Produto::kAplicativo;
  std::filesystem::path instalada;  // release folder of the installed version
  std::string versaoInstalada;
  std::filesystem::path nova;  // release folder of the new version
  std::string versaoNova;
  // The URL at which the catalogue's files folder is served; file URLs are
  // this, the product, the version and the file's path.
  std::string url;
  std::filesystem::path catalogo;
  ModoAuthenticode authenticode = ModoAuthenticode::kAutomatico;
};

// One entry of the descriptor, as the updater must read it back.
struct EntradaDescritor {
  int32_t acao = 0;     // action code; unused for the installed files
  std::string caminho;  // file: its URL; folder: its name
  std::string destino;  // "$base$\" and the entry's folder, with a trailing '\'
  int32_t tamanho = 0;  // files
  std::string hash;     // files
  bool authenticode = false;
  bool arquivoAtualizador = false;
  std::string relativo;  // path in the release, components joined with '/'

  bool Pasta() const;
};

// The update from one release to the next, in the order the updater runs it.
struct PlanoAtualizacao {
  Produto produto = Produto::kAplicativo;
  std::string versaoInstalada;
  std::string versaoNova;
  // New folders (parents first), new and changed files, vanished files, and
  // vanished folders (deepest first): every folder exists before a file is
  // put in it, and is empty when it is removed. Removals come last so that a
  // failing copy is undone before anything was removed.
  std::vector<EntradaDescritor> sequencia;
  // The installed files that the update replaces or removes, in path order.
  std::vector<EntradaDescritor> originais;
};

// The name of one of the five action codes of the entries, as the
// descriptor writes it ("CriarPasta" for 14).
std::string NomeAcao(int32_t acao);

// Compares the two releases of `parametros` and lays out the update. Reads
// every file that differs, and every file of both releases of equal size, to
// hash it. Raises `RecusaPublicacao` for an invalid version or URL, what
// `LeArvoreVersao` refuses, a file too large for the descriptor's 32-bit
// size, a path that is a file in one release and a folder in the other, a
// name whose letter case changed (Windows would keep the old one), a path
// under the updater's working folders "temp" and "backup", a folder change in
// an update of the updater (which creates and removes no folder), and, in
// `kExigido` mode, a new PE file without a signature; and `Erro` when a file
// cannot be read.
PlanoAtualizacao PlanejaAtualizacao(const ParametrosPublicacao& parametros);

}  // namespace tarvik::publicacao

#endif  // TARVIK_TOOLS_PUBLICADOR_PLANO_ATUALIZACAO_H_
