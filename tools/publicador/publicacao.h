#ifndef TARVIK_TOOLS_PUBLICADOR_PUBLICACAO_H_
#define TARVIK_TOOLS_PUBLICADOR_PUBLICACAO_H_

#include <filesystem>

#include "publicador/plano_atualizacao.h"

namespace tarvik::publicacao {

// What one publication wrote into the catalogue.
struct Publicacao {
  PlanoAtualizacao plano;
  std::filesystem::path descritor;
  std::filesystem::path arquivos;  // folder of the new version's served files
  size_t copiados = 0;             // files copied now; the others were there
};

// Publishes the update from the installed release to the new one into the
// catalogue (see `Catalogo`): plans it, writes its descriptor and checks that
// it reads back, copies the new and changed files into the new version's
// files folder, and writes the descriptor last, so that no descriptor is ever
// offered before all its files are in place. A file already published for
// the new version must have the same content: other descriptors may already
// name it. Files and descriptor appear whole, through a rename.
//
// Raises what `PlanejaAtualizacao` and `ConfereDescritor` raise,
// `RecusaPublicacao` when a published file differs or a release file changes
// while it is copied, `Erro` when a file cannot be hashed, and
// std::filesystem::filesystem_error when the catalogue cannot be written.
Publicacao Publica(const ParametrosPublicacao& parametros);

}  // namespace tarvik::publicacao

#endif  // TARVIK_TOOLS_PUBLICADOR_PUBLICACAO_H_
