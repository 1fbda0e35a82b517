#include "descriptor/informacao_arquivo.h"

namespace tarvik {

std::string NomeArquivoUrl(std::string_view url) {
  const auto doisPontos = url.find(':');
  if (doisPontos == std::string_view::npos) return {};
  const auto barras = url.find("//", doisPontos + 1);
  if (barras == std::string_view::npos) return {};
  // The server part ends at its port or, without one, at the path.
  auto fimServidor = url.find(':', barras + 2);
  if (fimServidor == std::string_view::npos) fimServidor = url.find('/', barras + 2);
  if (fimServidor == std::string_view::npos) return {};
  const auto ultimaBarra = url.rfind('/');
  if (ultimaBarra == std::string_view::npos || ultimaBarra < fimServidor) return {};
  return std::string(url.substr(ultimaBarra + 1));
}

}  // namespace tarvik
