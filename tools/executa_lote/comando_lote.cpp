#include "comando_lote.h"

#include <limits>
#include <optional>

#include "base/texto.h"
#include "server/lote_reinicio.h"

namespace tarvik::lote {
namespace {

using namespace texto_lote;

// The command interpreter reads its keywords without regard to case.
bool ComecaCom(std::string_view texto, std::string_view prefixo) {
  return texto.size() >= prefixo.size() && IgualSemCaixa(texto.substr(0, prefixo.size()), prefixo);
}

// A path between quotes at the start of `texto`; the rest follows it. A
// quote inside a path cannot be written, so the first quote ends it.
std::optional<std::string> CaminhoEntreAspas(std::string_view& texto) {
  if (texto.size() < 2 || texto.front() != '"') return std::nullopt;
  const size_t fim = texto.find('"', 1);
  if (fim == std::string_view::npos || fim == 1) return std::nullopt;
  std::string caminho(texto.substr(1, fim - 1));
  texto.remove_prefix(fim + 1);
  return caminho;
}

std::optional<uint32_t> NumeroProcesso(std::string_view texto) {
  if (texto.empty() || texto.size() > 10) return std::nullopt;
  uint64_t valor = 0;
  for (const char c : texto) {
    if (c < '0' || c > '9') return std::nullopt;
    valor = valor * 10 + static_cast<uint64_t>(c - '0');
  }
  if (valor == 0 || valor > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<uint32_t>(valor);
}

std::optional<ComandoLote> Interpreta(std::string_view linha) {
  ComandoLote comando{};
  comando.linha = linha;
  std::string_view resto = linha;
  if (ComecaCom(resto, kEspera)) {
    resto.remove_prefix(kEspera.size());
    const auto biblioteca = CaminhoEntreAspas(resto);
    if (!biblioteca || biblioteca->size() < kBiblioteca.size() ||
        !IgualSemCaixa(
            std::string_view(*biblioteca).substr(biblioteca->size() - kBiblioteca.size()),
            kBiblioteca) ||
        !ComecaCom(resto, kPontoEntrada)) {
      return std::nullopt;
    }
    const auto processo = NumeroProcesso(resto.substr(kPontoEntrada.size()));
    if (!processo) return std::nullopt;
    comando.tipo = ComandoLote::Tipo::kAguarda;
    comando.processo = *processo;
    return comando;
  }
  if (ComecaCom(resto, kCopia)) {
    resto.remove_prefix(kCopia.size());
    auto origem = CaminhoEntreAspas(resto);
    if (!origem || !resto.starts_with(' ')) return std::nullopt;
    resto.remove_prefix(1);
    auto destino = CaminhoEntreAspas(resto);
    if (!destino || !resto.empty()) return std::nullopt;
    comando.tipo = ComandoLote::Tipo::kCopia;
    comando.origem = std::move(*origem);
    comando.destino = std::move(*destino);
    return comando;
  }
  if (ComecaCom(resto, kRemove)) {
    resto.remove_prefix(kRemove.size());
    auto origem = CaminhoEntreAspas(resto);
    if (!origem || !resto.empty()) return std::nullopt;
    comando.tipo = ComandoLote::Tipo::kRemove;
    comando.origem = std::move(*origem);
    return comando;
  }
  if (ComecaCom(resto, kInicia)) {
    resto.remove_prefix(kInicia.size());
    if (!resto.empty() && !resto.starts_with(' ')) return std::nullopt;
    comando.tipo = ComandoLote::Tipo::kInicia;
    comando.argumentos = RemoveEspacos(resto);
    return comando;
  }
  return std::nullopt;
}

}  // namespace

LinhaDesconhecida::LinhaDesconhecida(size_t numero, const std::string& linha)
    : std::runtime_error("linha " + std::to_string(numero) + " não reconhecida: [" + linha + "]") {}

std::vector<ComandoLote> InterpretaLote(std::string_view texto) {
  std::vector<ComandoLote> comandos;
  size_t numero = 0;
  while (!texto.empty()) {
    ++numero;
    const size_t fim = texto.find(kFimLinha);
    const std::string_view linha = texto.substr(0, fim);
    texto.remove_prefix(fim == std::string_view::npos ? texto.size() : fim + kFimLinha.size());
    auto comando = Interpreta(linha);
    if (!comando) throw LinhaDesconhecida(numero, std::string(linha));
    comandos.push_back(std::move(*comando));
  }
  return comandos;
}

}  // namespace tarvik::lote
