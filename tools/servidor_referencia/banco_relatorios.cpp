#include "servidor_referencia/banco_relatorios.h"

#include "base/hexadecimal.h"
#include "servidor_referencia/banco_postgresql.h"
#include "servidor_referencia/banco_sqlite.h"

namespace tarvik::referencia {

bool EnderecoPostgresql(const std::string& endereco) {
  return endereco.starts_with("postgresql://") || endereco.starts_with("postgres://");
}

std::unique_ptr<BancoRelatorios> AbreBanco(const std::string& endereco,
                                           BancoRelatorios::Modo modo) {
  if (EnderecoPostgresql(endereco)) return std::make_unique<BancoPostgresql>(endereco, modo);
  return std::make_unique<BancoSqlite>(endereco, modo);
}

const std::vector<std::string RelatorioResultado::*>& ColunasRelatorio() {
  static const std::vector<std::string RelatorioResultado::*> colunas = {
      &RelatorioResultado::recebidoEm,
      &RelatorioResultado::endereco,
      &RelatorioResultado::chave,
      &RelatorioResultado::data,
      &RelatorioResultado::resultado,
      &RelatorioResultado::versaoOriginal,
      &RelatorioResultado::versaoAtualizada,
      &RelatorioResultado::conta,
      &RelatorioResultado::cnpj,
      &RelatorioResultado::informacaoCliente};
  return colunas;
}

std::string FormataRelatorios(const std::vector<RelatorioResultado>& relatorios) {
  if (relatorios.empty()) return "nenhum relatório\n";
  std::string texto;
  for (const RelatorioResultado& r : relatorios) {
    texto += "relatório " + std::to_string(r.numero) + ", recebido em " +
             EscapaControles(r.recebidoEm) + " UTC de " + EscapaControles(r.endereco) + "\n";
    for (const CampoRelatorio& campo : kCamposRelatorio) {
      texto += "  " + std::string(campo.nome) + ": " + EscapaControles(r.*campo.valor) + "\n";
    }
    texto += "  informacao_cliente: " + EscapaControles(r.informacaoCliente) + "\n";
  }
  return texto;
}

}  // namespace tarvik::referencia
