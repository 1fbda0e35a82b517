#include "tasks/conversao_detalhe.h"

#include <algorithm>
#include <limits>

#include "base/erro.h"
#include "base/texto.h"

namespace tarvik {
namespace {

constexpr char kOrigem[] = "Tarefa:Executa";
constexpr char kVerdadeiro[] = "True";
constexpr char kFalso[] = "False";

struct Inteiro {
  bool valido = false;
  bool estouro = false;
  int64_t valor = 0;
};

Inteiro Le(std::string_view texto) {
  texto = RemoveEspacos(texto);
  bool negativo = false;
  if (!texto.empty() && (texto.front() == '+' || texto.front() == '-')) {
    negativo = texto.front() == '-';
    texto.remove_prefix(1);
  }
  if (texto.empty() ||
      !std::all_of(texto.begin(), texto.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return {};
  }
  Inteiro inteiro{true};
  for (const char c : texto) {
    inteiro.valor = inteiro.valor * 10 + (c - '0');
    if (inteiro.valor > int64_t{std::numeric_limits<int32_t>::max()} + 1) {
      inteiro.estouro = true;
      return inteiro;
    }
  }
  if (negativo) inteiro.valor = -inteiro.valor;
  inteiro.estouro = inteiro.valor > std::numeric_limits<int32_t>::max();
  return inteiro;
}

}  // namespace

std::string TextoDeLogico(bool valor) { return valor ? kVerdadeiro : kFalso; }

bool LogicoDeTexto(std::string_view texto) {
  const std::string_view limpo = RemoveEspacos(texto);
  if (IgualSemCaixa(limpo, kVerdadeiro)) return true;
  if (IgualSemCaixa(limpo, kFalso)) return false;
  const Inteiro inteiro = Le(limpo);
  if (!inteiro.valido)
    throw ErroPadrao(codigo_erro::kTipoIncompativel, kOrigem, std::string(texto));
  return inteiro.valor != 0;
}

int32_t InteiroDeTexto(std::string_view texto) {
  const Inteiro inteiro = Le(texto);
  if (!inteiro.valido)
    throw ErroPadrao(codigo_erro::kTipoIncompativel, kOrigem, std::string(texto));
  if (inteiro.estouro) throw ErroPadrao(codigo_erro::kEstouro, kOrigem, std::string(texto));
  return static_cast<int32_t>(inteiro.valor);
}

}  // namespace tarvik
