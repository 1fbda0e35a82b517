#ifndef TARVIK_TOOLS_SERVIDOR_REFERENCIA_RELATORIO_RESULTADO_H_
#define TARVIK_TOOLS_SERVIDOR_REFERENCIA_RELATORIO_RESULTADO_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik::referencia {

// One result report of an installation, as the server stores it.
struct RelatorioResultado {
  int64_t numero = 0;      // given by the database, from 1
  std::string recebidoEm;  // server time, UTC, "yyyy-mm-dd hh:mm:ss"
  std::string endereco;    // the client's address
  // The report's own fields, decoded.
  std::string chave;
  std::string data;  // yyyymmddhhmmss, the client's local time
  std::string resultado;
  std::string versaoOriginal;
  std::string versaoAtualizada;
  std::string conta;
  std::string cnpj;
  // The client-environment fragment of the request header, decoded from the
  // code page the updater sends it in.
  std::string informacaoCliente;

  bool operator==(const RelatorioResultado&) const = default;
};

// One field of the report's query.
struct CampoRelatorio {
  std::string_view nome;
  std::string RelatorioResultado::*valor;
};

// The report's fields after "operacao=resultado", in the order the updater
// writes them.
inline constexpr std::array<CampoRelatorio, 7> kCamposRelatorio = {{
    {"chave", &RelatorioResultado::chave},
    {"data", &RelatorioResultado::data},
    {"resultado", &RelatorioResultado::resultado},
    {"versao_original", &RelatorioResultado::versaoOriginal},
    {"versao_atualizada", &RelatorioResultado::versaoAtualizada},
    {"conta", &RelatorioResultado::conta},
    {"cnpj", &RelatorioResultado::cnpj},
}};

}  // namespace tarvik::referencia

#endif  // TARVIK_TOOLS_SERVIDOR_REFERENCIA_RELATORIO_RESULTADO_H_
