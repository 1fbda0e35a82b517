#ifndef TARVIK_TOOLS_SERVIDOR_REFERENCIA_BANCO_RELATORIOS_H_
#define TARVIK_TOOLS_SERVIDOR_REFERENCIA_BANCO_RELATORIOS_H_

#include <memory>
#include <string>
#include <vector>

#include "servidor_referencia/relatorio_resultado.h"

namespace tarvik::referencia {

// Where a server keeps the result reports it received: the table
// "relatorios", with the same columns in every store. One object may be
// used from several threads at once, and several processes may use the
// same store (a listing while the server runs, several servers behind one
// address).
class BancoRelatorios {
 public:
  enum class Modo {
    kGravacao,  // creates the table (and an SQLite file) when missing
    kLeitura,   // the store must exist
  };

  virtual ~BancoRelatorios() = default;

  // Stores one report; its `numero` is ignored, the store gives the next.
  // Raises std::runtime_error when it cannot be stored.
  virtual void Grava(const RelatorioResultado& relatorio) = 0;

  // Every stored report, in the order received. Raises std::runtime_error.
  virtual std::vector<RelatorioResultado> Lista() const = 0;
};

// True for the address of a PostgreSQL store ("postgresql://..." or
// "postgres://..."); any other text names an SQLite file.
bool EnderecoPostgresql(const std::string& endereco);

// Opens the store that `endereco` names. Raises std::runtime_error with the
// database's message when it cannot be opened, or its table cannot be made.
std::unique_ptr<BancoRelatorios> AbreBanco(const std::string& endereco, BancoRelatorios::Modo modo);

// The reports as the listing shows them: a heading line with the number,
// the time received and the client's address, then one indented line per
// field; "nenhum relatório" when there is none. Control characters inside
// values are written as \xHH, so every field stays on its line.
std::string FormataRelatorios(const std::vector<RelatorioResultado>& relatorios);

// The report's text fields in the order of the table's columns after
// `numero`.
const std::vector<std::string RelatorioResultado::*>& ColunasRelatorio();

}  // namespace tarvik::referencia

#endif  // TARVIK_TOOLS_SERVIDOR_REFERENCIA_BANCO_RELATORIOS_H_
