#ifndef TARVIK_TOOLS_PUBLICADOR_ARVORE_VERSAO_H_
#define TARVIK_TOOLS_PUBLICADOR_ARVORE_VERSAO_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tarvik::publicacao {

// One file or folder of a release, by its path below the release's root.
struct EntradaArvore {
  std::string relativo;  // components joined with '/', UTF-8
  bool pasta = false;
  uint64_t tamanho = 0;  // files only
};

// The files and folders of one release, as installed.
struct ArvoreVersao {
  std::filesystem::path raiz;
  // Every entry below the root, a folder before what it holds, siblings in
  // byte order of their names.
  std::vector<EntradaArvore> entradas;
};

// Reads the release under `raiz`. Raises `RecusaPublicacao` when the root is
// not a folder, when an entry is neither a plain file nor a folder (links
// included), when a name cannot be published (`ProblemaNome`), and when two
// names of one folder differ only in letter case, which a Windows
// installation cannot hold.
ArvoreVersao LeArvoreVersao(const std::filesystem::path& raiz);

// Orders relative paths so that a folder comes right before what it holds.
bool AntesNaArvore(const std::string& a, const std::string& b);

}  // namespace tarvik::publicacao

#endif  // TARVIK_TOOLS_PUBLICADOR_ARVORE_VERSAO_H_
