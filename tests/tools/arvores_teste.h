#ifndef TARVIK_TESTS_TOOLS_ARVORES_TESTE_H_
#define TARVIK_TESTS_TOOLS_ARVORES_TESTE_H_

#include <filesystem>
#include <map>
#include <string>

#include "platform/authenticode/pe_builder.h"
#include "support/arvore_arquivos.h"

namespace tarvik::teste {

// A release tree as `ArvoreArquivos` reads it: relative paths, each with its
// content or `kPasta`.
using Arvore = std::map<std::string, std::string>;

// Creates the entries of `arvore` under `raiz`, which is created too.
inline void CriaArvore(const std::filesystem::path& raiz, const Arvore& arvore) {
  std::filesystem::create_directories(raiz);
  for (const auto& [caminho, conteudo] : arvore) {
    if (conteudo == kPasta) std::filesystem::create_directories(raiz / caminho);
    if (conteudo != kPasta) EscreveArquivo(raiz / caminho, conteudo);
  }
}

// A minimal PE image; with `assinada`, it carries a certificate table whose
// content is no real signature: one WIN_CERTIFICATE header of revision 2.0,
// PKCS#7 type, and 8 bytes.
inline std::string ImagemPe(bool assinada) {
  std::string imagem = BuildPeImage(PeFormat::kPe32, 512);
  if (!assinada) return imagem;
  PutLe(imagem, SecurityEntryOffset(PeFormat::kPe32), static_cast<uint32_t>(imagem.size()));
  PutLe(imagem, SecurityEntryOffset(PeFormat::kPe32) + 4, 16);
  return imagem + std::string("\x10\0\0\0\0\x02\x02\0assinado", 16);
}

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_TOOLS_ARVORES_TESTE_H_
