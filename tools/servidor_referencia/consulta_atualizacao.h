#ifndef TARVIK_TOOLS_SERVIDOR_REFERENCIA_CONSULTA_ATUALIZACAO_H_
#define TARVIK_TOOLS_SERVIDOR_REFERENCIA_CONSULTA_ATUALIZACAO_H_

#include <string>
#include <string_view>

#include "servidor_referencia/catalogo.h"
#include "servidor_referencia/relatorio_resultado.h"

namespace tarvik::referencia {

// One request to the check address, read from its raw query.
struct ConsultaAtualizacao {
  enum class Tipo {
    kVerificacao,  // which update takes `versao` of `produto` to the newest
    kRelatorio,    // the outcome of an update, in `relatorio`
    kInvalida,     // neither; `motivo` says why
  };
  Tipo tipo = Tipo::kInvalida;
  publicacao::Produto produto = publicacao::Produto::kAplicativo;
  std::string versao;
  RelatorioResultado relatorio;  // only the report's own fields
  std::string motivo;
};

// Replaces every %XX of two hexadecimal digits by its byte and leaves all
// else, '+' and a '%' without two digits after it included, as it is: the
// updater escapes only the bytes a request line cannot carry.
std::string DecodificaPercentual(std::string_view texto);

// True for well-formed UTF-8 without NUL, the text every store can hold.
bool TextoUtf8(std::string_view texto);

// Reads the query (the text after '?') of a request to the check address.
// A check is "versaoAplicativo=" and a version, optionally followed by
// "&atualizador=on" for the updater's own files; any other key, a repeated
// key or an empty version makes it invalid. A report is
// "operacao=resultado" followed by its seven fields in the order the
// updater writes them; since the updater writes the values unescaped, each
// value runs up to the next field's "&name=", so an account or CNPJ may hold
// '&'. Each value must be UTF-8 text once decoded, the date 14 digits and
// the result one of the result names.
// Never fails: what cannot be read is `kInvalida` with the reason.
ConsultaAtualizacao InterpretaConsulta(std::string_view consulta);

}  // namespace tarvik::referencia

#endif  // TARVIK_TOOLS_SERVIDOR_REFERENCIA_CONSULTA_ATUALIZACAO_H_
