#include "tools/arvores_teste.h"

#include <algorithm>

#include "platform/authenticode/pe_builder.h"
#include "support/pasta_temporaria.h"

namespace tarvik::teste {

namespace fs = std::filesystem;

void CriaArvore(const fs::path& raiz, const Arvore& arvore) {
  fs::create_directories(raiz);
  for (const auto& [caminho, conteudo] : arvore) {
    if (caminho.ends_with('/')) {
      fs::create_directories(raiz / caminho);
    } else {
      EscreveArquivo(raiz / caminho, conteudo);
    }
  }
}

Arvore LeArvore(const fs::path& raiz) {
  Arvore arvore;
  for (const auto& entrada : fs::recursive_directory_iterator(raiz)) {
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

std::string ImagemPe(bool assinada) {
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
