#include "publicador/nome_publicavel.h"

#include <array>

#include "base/cp1252.h"
#include "base/texto.h"

namespace tarvik::publicacao {

namespace {

constexpr std::string_view kProibidosWindows = "<>:\"/\\|?*";
// The URL would read '%' as the start of an escape and cut the name at '#'.
constexpr std::string_view kProibidosUrl = "%#";
constexpr std::string_view kMarcadorBase = "$base$";

constexpr std::array<std::string_view, 22> kNomesReservados = {
    "con",  "prn",  "aux",  "nul",  "com1", "com2", "com3", "com4", "com5", "com6", "com7",
    "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5", "lpt6", "lpt7", "lpt8", "lpt9"};

std::string Caractere(char c) {
  std::string texto = "[";
  texto += c;
  texto += ']';
  return texto;
}

}  // namespace

std::string ProblemaNome(std::string_view nome) {
  if (nome.empty()) return "nome vazio";
  for (const char c : nome) {
    const auto octeto = static_cast<unsigned char>(c);
    if (octeto < 0x20 || octeto == 0x7F) return "tem caractere de controle";
    if (kProibidosWindows.find(c) != std::string_view::npos) {
      return "tem caractere que o Windows não aceita em nomes " + Caractere(c);
    }
    if (kProibidosUrl.find(c) != std::string_view::npos) {
      return "tem caractere que não passa numa URL " + Caractere(c);
    }
  }
  if (nome.back() == ' ' || nome.back() == '.') return "termina em espaço ou ponto";
  const std::string dobrado = DobraCaixa(nome);
  const std::string_view radical = std::string_view(dobrado).substr(0, dobrado.find('.'));
  for (const std::string_view reservado : kNomesReservados) {
    if (radical == reservado) return "é nome reservado do Windows";
  }
  if (DeCp1252(ParaCp1252(nome)) != nome) return "tem caractere fora da página de código 1252";
  if (nome.find(kMarcadorBase) != std::string_view::npos) {
    return "contém o marcador " + std::string(kMarcadorBase);
  }
  return {};
}

}  // namespace tarvik::publicacao
