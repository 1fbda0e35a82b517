// The queries the reference server reads from anyone: a check or a result
// report on the updater's address, the dashboard's filter, and a session
// cookie. None may fail; what is read must be what the server may store or
// show, and must read back the same when written out again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/hexadecimal.h"
#include "servidor_referencia/acesso_operador.h"
#include "servidor_referencia/consulta_atualizacao.h"
#include "servidor_referencia/painel.h"

namespace {

using tarvik::referencia::ConsultaAtualizacao;

void Exige(bool condicao) {
  if (!condicao) std::abort();
}

// Every byte as %XX, which the server decodes back.
std::string Escapa(std::string_view valor) {
  std::string texto;
  for (const char c : valor) {
    texto += '%';
    tarvik::AcrescentaHex(texto, static_cast<unsigned char>(c));
  }
  return texto;
}

void Relatorio(const ConsultaAtualizacao& consulta) {
  std::string escrita = "operacao=resultado";
  for (const auto& campo : tarvik::referencia::kCamposRelatorio) {
    const std::string& valor = consulta.relatorio.*campo.valor;
    Exige(tarvik::referencia::TextoUtf8(valor));
    escrita += "&" + std::string(campo.nome) + "=" + Escapa(valor);
  }
  Exige(consulta.relatorio.data.size() == 14);
  const ConsultaAtualizacao relida = tarvik::referencia::InterpretaConsulta(escrita);
  Exige(relida.tipo == ConsultaAtualizacao::Tipo::kRelatorio &&
        relida.relatorio == consulta.relatorio);
}

void Filtro(std::string_view texto) {
  const auto filtro = tarvik::referencia::InterpretaFiltro(texto);
  if (!filtro.motivo.empty()) return;
  Exige(filtro.desde.empty() || filtro.desde.size() == 10);
  Exige(filtro.ate.empty() || filtro.ate.size() == 10);
  const auto relido = tarvik::referencia::InterpretaFiltro("versao=" + Escapa(filtro.versao) +
                                                           "&desde=" + Escapa(filtro.desde) +
                                                           "&ate=" + Escapa(filtro.ate));
  Exige(relido == filtro);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
  const std::string_view texto(reinterpret_cast<const char*>(dados), tamanho);
  const ConsultaAtualizacao consulta = tarvik::referencia::InterpretaConsulta(texto);
  switch (consulta.tipo) {
    case ConsultaAtualizacao::Tipo::kRelatorio:
      Relatorio(consulta);
      break;
    case ConsultaAtualizacao::Tipo::kVerificacao:
      Exige(!consulta.versao.empty());
      break;
    case ConsultaAtualizacao::Tipo::kInvalida:
      Exige(!consulta.motivo.empty());
      break;
  }
  Filtro(texto);
  // A forged session never passes: the key is no input's to know.
  static const tarvik::referencia::AcessoOperador acesso(
      tarvik::referencia::ResumoSenha("senha", 1));
  Exige(!acesso.SessaoValida(tarvik::referencia::ValorCookie(texto, "tarvik_sessao"), 0));
  return 0;
}
