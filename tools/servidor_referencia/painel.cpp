#include "servidor_referencia/painel.h"

#include <algorithm>
#include <map>
#include <optional>

#include "servidor_referencia/catalogo.h"
#include "servidor_referencia/consulta_atualizacao.h"

namespace tarvik::referencia {

namespace {

constexpr std::string_view kSucesso = kDesfechos[0];
constexpr std::string_view kReiniciar = kDesfechos[3];

bool Digitos(std::string_view texto) {
  return std::all_of(texto.begin(), texto.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Numero(std::string_view digitos) {
  int valor = 0;
  for (const char c : digitos) valor = valor * 10 + (c - '0');
  return valor;
}

bool DiaValido(std::string_view dia) {
  if (dia.size() != 10 || dia[4] != '-' || dia[7] != '-') return false;
  const std::string_view ano = dia.substr(0, 4), mes = dia.substr(5, 2), d = dia.substr(8, 2);
  if (!Digitos(ano) || !Digitos(mes) || !Digitos(d)) return false;
  const int m = Numero(mes), n = Numero(d), a = Numero(ano);
  constexpr int kDias[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12 || n < 1 || n > kDias[m - 1]) return false;
  return m != 2 || n < 29 || (a % 4 == 0 && (a % 100 != 0 || a % 400 == 0));
}

// The current version of an installation after `relatorio`.
const std::string& VersaoAtual(const RelatorioResultado& relatorio) {
  return relatorio.resultado == kSucesso ? relatorio.versaoAtualizada : relatorio.versaoOriginal;
}

bool Falhou(const RelatorioResultado& relatorio) {
  return relatorio.resultado == kDesfechos[1] || relatorio.resultado == kDesfechos[2];
}

// The value of attribute `nome` in the header's single-quoted attributes.
std::optional<std::string_view> Atributo(std::string_view texto, std::string_view nome) {
  std::string procura = " ";
  procura.append(nome).append("='");
  const size_t inicio = texto.find(procura);
  if (inicio == std::string_view::npos) return std::nullopt;
  const size_t valor = inicio + procura.size();
  const size_t fim = texto.find('\'', valor);
  if (fim == std::string_view::npos) return std::nullopt;
  return texto.substr(valor, fim - valor);
}

}  // namespace

FiltroPainel InterpretaFiltro(std::string_view consulta) {
  FiltroPainel filtro;
  bool visto[3] = {};
  size_t inicio = 0;
  while (!consulta.empty() && inicio <= consulta.size()) {
    const size_t fim = std::min(consulta.find('&', inicio), consulta.size());
    const std::string_view par = consulta.substr(inicio, fim - inicio);
    inicio = fim + 1;
    const size_t igual = par.find('=');
    const std::string chave = DecodificaPercentual(par.substr(0, igual));
    const int indice = chave == "versao" ? 0 : chave == "desde" ? 1 : chave == "ate" ? 2 : -1;
    if (indice < 0) {
      filtro.motivo = "chave [" + chave + "] desconhecida";
      return filtro;
    }
    if (igual == std::string_view::npos || visto[indice]) {
      filtro.motivo = "chave [" + chave + "] repetida ou sem valor";
      return filtro;
    }
    visto[indice] = true;
    std::string valor = DecodificaPercentual(par.substr(igual + 1));
    if (valor.empty()) continue;
    if (indice == 0 ? !publicacao::VersaoValida(valor) : !DiaValido(valor)) {
      filtro.motivo = "valor [" + valor + "] da chave [" + chave + "]";
      return filtro;
    }
    (indice == 0 ? filtro.versao : indice == 1 ? filtro.desde : filtro.ate) = std::move(valor);
  }
  return filtro;
}

ResumoPainel ResumePainel(const std::vector<RelatorioResultado>& relatorios,
                          const FiltroPainel& filtro) {
  ResumoPainel resumo;
  struct Instalacao {
    const RelatorioResultado* ultimo = nullptr;
    int reinicios = 0;
  };
  std::map<std::string, Instalacao> instalacoes;
  const auto maisNova = [](const std::string& a, const std::string& b) {
    return publicacao::ComparaVersoes(a, b) > 0;
  };
  std::map<std::string, std::array<int, kDesfechos.size()>, decltype(maisNova)> desfechos(maisNova);
  for (const RelatorioResultado& relatorio : relatorios) {
    const std::string_view dia = std::string_view(relatorio.recebidoEm).substr(0, 10);
    if (!filtro.versao.empty() && relatorio.versaoAtualizada != filtro.versao) continue;
    if (!filtro.desde.empty() && dia < filtro.desde) continue;
    if (!filtro.ate.empty() && dia > filtro.ate) continue;
    ++resumo.relatorios;
    auto& contagem = desfechos[relatorio.versaoAtualizada];
    for (size_t i = 0; i < kDesfechos.size(); ++i)
      contagem[i] += relatorio.resultado == kDesfechos[i];
    Instalacao& instalacao = instalacoes[relatorio.chave];
    instalacao.ultimo = &relatorio;
    instalacao.reinicios = relatorio.resultado == kReiniciar ? instalacao.reinicios + 1 : 0;
  }
  resumo.desfechos.assign(desfechos.begin(), desfechos.end());
  resumo.instalacoes = static_cast<int>(instalacoes.size());

  std::map<std::string, int, decltype(maisNova)> versoes(maisNova);
  for (const auto& [chave, instalacao] : instalacoes) {
    ++versoes[VersaoAtual(*instalacao.ultimo)];
    if (Falhou(*instalacao.ultimo) || instalacao.reinicios >= kReiniciosSeguidos) {
      resumo.problemas.push_back({*instalacao.ultimo, instalacao.reinicios,
                                  VersaoWindows(instalacao.ultimo->informacaoCliente)});
    }
  }
  resumo.versoesEmCampo.assign(versoes.begin(), versoes.end());
  std::sort(resumo.problemas.begin(), resumo.problemas.end(),
            [](const auto& a, const auto& b) { return a.ultimo.numero > b.ultimo.numero; });
  return resumo;
}

std::string VersaoWindows(std::string_view informacaoCliente) {
  const auto versao = Atributo(informacaoCliente, "version");
  if (!versao) return "";
  std::string texto(*versao);
  if (const auto build = Atributo(informacaoCliente, "build")) texto.append(".").append(*build);
  if (const auto pacote = Atributo(informacaoCliente, "desc_service_pack");
      pacote && !pacote->empty()) {
    texto.append(" ").append(*pacote);
  }
  return texto;
}

}  // namespace tarvik::referencia
