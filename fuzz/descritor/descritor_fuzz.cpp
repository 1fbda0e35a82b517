// The whole parse of an update server's answer, from raw bytes to a
// `DadosAtualizacao`: any input either parses or raises `Erro`. Alongside,
// the lines that `InterpretaConteudo` reads are checked against the plain
// reading of the cutting rules, one search of the whole rest per line.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "base/cp1252.h"
#include "base/erro.h"
#include "base/texto.h"
#include "descriptor/caminhos.h"
#include "descriptor/descritor.h"
#include "descriptor/recupera_dados_atualizacao.h"

namespace {

std::string CortaLinha(std::string& texto) {
  for (const std::string_view quebra : {"\r\n", "\n", "\r"}) {
    const auto fim = texto.find(quebra);
    if (fim == std::string::npos) continue;
    std::string linha = texto.substr(0, fim);
    texto.erase(0, fim + quebra.size());
    return linha;
  }
  return std::exchange(texto, {});
}

// What `InterpretaConteudo` leaves unread, by the rules read plainly.
std::string RestoEsperado(std::string texto) {
  std::string linha;
  do {
    linha = std::string(tarvik::RemoveEspacos(CortaLinha(texto)));
  } while (!texto.empty() && !linha.empty());
  return texto;
}

void Percorre(const tarvik::DadosAtualizacao& dados) {
  size_t tamanho = dados.NovaVersao().size() + dados.VelhaVersao().size();
  for (const auto& item : *dados.ItensSequencia()) {
    tamanho +=
        tarvik::ObtemNomeArquivoInstalado("C:\\app", item->Destino(), item->NomeDestino()).size();
  }
  for (const auto& arquivo : dados.ArquivosRecuperar()) tamanho += arquivo->NomeDestino().size();
  for (const auto& arquivo : dados.ArquivosOriginais()) tamanho += arquivo->hash().size();
  if (tamanho == SIZE_MAX) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
  const std::string texto =
      tarvik::DeCp1252(std::string_view(reinterpret_cast<const char*>(dados), tamanho));

  std::string conteudo = texto;
  try {
    tarvik::InterpretaConteudo(conteudo);
    if (conteudo != RestoEsperado(texto)) std::abort();
  } catch (const tarvik::Erro&) {
  }

  try {
    Percorre(tarvik::RecuperaDadosAtualizacao(texto));
  } catch (const tarvik::Erro&) {
  }
  return 0;
}
