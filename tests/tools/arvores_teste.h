#ifndef TARVIK_TESTS_TOOLS_ARVORES_TESTE_H_
#define TARVIK_TESTS_TOOLS_ARVORES_TESTE_H_

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/authenticode/pe_builder.h"
#include "support/pasta_temporaria.h"

namespace tarvik::teste {

// A release tree as a list of paths below its root: a path ending in '/' is
// a folder, any other a file with the given content.
using Arvore = std::vector<std::pair<std::string, std::string>>;

// Creates the entries of `arvore` under `raiz`, which is created too.
inline void CriaArvore(const std::filesystem::path& raiz, const Arvore& arvore) {
  std::filesystem::create_directories(raiz);
  for (const auto& [caminho, conteudo] : arvore) {
    if (caminho.ends_with('/')) {
      std::filesystem::create_directories(raiz / caminho);
    } else {
      EscreveArquivo(raiz / caminho, conteudo);
    }
  }
}

// Every file and folder under `raiz`, folders ending in '/', with the files'
// contents, in path order; compares with an `Arvore`.
inline Arvore LeArvore(const std::filesystem::path& raiz) {
  Arvore arvore;
  for (const auto& entrada : std::filesystem::recursive_directory_iterator(raiz)) {
    const std::string relativo = entrada.path().lexically_relative(raiz).generic_string();
    if (entrada.is_directory()) {
      arvore.emplace_back(relativo + "/", "");
    } else {
      arvore.emplace_back(relativo, LeArquivo(entrada.path()));
    }
  }
  std::sort(arvore.begin(), arvore.end());
  return arvore;
}

// A minimal PE image; with `assinada`, it carries a certificate table whose
// content is no real signature.
inline std::string ImagemPe(bool assinada) {
  std::string imagem = BuildPeImage(PeFormat::kPe32, 512);
  if (!assinada) return imagem;
  // One WIN_CERTIFICATE header of revision 2.0, PKCS#7 type, and 8 bytes.
  const auto tabela = static_cast<uint32_t>(imagem.size());
  const std::string certificado("\x10\0\0\0\0\x02\x02\0assinado", 16);
  imagem += certificado;
  const uint32_t entrada = SecurityEntryOffset(PeFormat::kPe32);
  for (int i = 0; i < 4; ++i) {
    imagem[entrada + i] = static_cast<char>((tabela >> (8 * i)) & 0xFF);
    imagem[entrada + 4 + i] = static_cast<char>((certificado.size() >> (8 * i)) & 0xFF);
  }
  return imagem;
}

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_TOOLS_ARVORES_TESTE_H_
