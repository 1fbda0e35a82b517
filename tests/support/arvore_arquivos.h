#ifndef TARVIK_TESTS_SUPPORT_ARVORE_ARQUIVOS_H_
#define TARVIK_TESTS_SUPPORT_ARVORE_ARQUIVOS_H_

#include <filesystem>
#include <map>
#include <string>

#include "support/pasta_temporaria.h"

namespace tarvik::teste {

// Marks a folder in `ArvoreArquivos`.
inline const std::string kPasta = "<pasta>";

// Every file and folder under `raiz` by relative path ('/' separated), with
// the file's content or `kPasta`; the update log is left out.
inline std::map<std::string, std::string> ArvoreArquivos(const std::filesystem::path& raiz) {
  std::map<std::string, std::string> arvore;
  for (const auto& entrada : std::filesystem::recursive_directory_iterator(raiz)) {
    const std::string relativo = std::filesystem::relative(entrada.path(), raiz).generic_string();
    if (relativo == "registro.log") continue;
    arvore[relativo] = entrada.is_directory() ? kPasta : LeArquivo(entrada.path());
  }
  return arvore;
}

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SUPPORT_ARVORE_ARQUIVOS_H_
