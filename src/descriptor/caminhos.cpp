#include "descriptor/caminhos.h"

#include <string_view>

#include "base/texto.h"

namespace tarvik {

namespace {
constexpr std::string_view kMarcaBase = "$base$";
constexpr char kSeparador = '\\';
}  // namespace

std::string ObtemNomeArquivoInstalado(const std::string& pastaBase, const std::string& pastaDestino,
                                      const std::string& arquivoDestino) {
  std::string caminho;
  size_t inicio = 0;
  for (auto marca = pastaDestino.find(kMarcaBase); marca != std::string::npos;
       marca = pastaDestino.find(kMarcaBase, inicio)) {
    caminho.append(pastaDestino, inicio, marca - inicio).append(pastaBase);
    inicio = marca + kMarcaBase.size();
  }
  caminho.append(pastaDestino, inicio).append(arquivoDestino);
  return caminho;
}

std::string ObtemNomeArquivoTemporario(const std::string& pastaTemporaria,
                                       const std::string& arquivoDestino,
                                       const std::string& versaoArquivo, int32_t indice) {
  return pastaTemporaria + arquivoDestino + "-" + versaoArquivo + "-" + std::to_string(indice);
}

std::string CombinaCaminho(std::string_view pasta, std::string_view caminho) {
  const std::string_view p = RemoveEspacos(pasta);
  const std::string_view c = RemoveEspacos(caminho);
  std::string resultado(p);
  if ((p.empty() || p.back() != kSeparador) && (c.empty() || c.front() != kSeparador))
    resultado += kSeparador;
  resultado += c;
  return resultado;
}

}  // namespace tarvik
