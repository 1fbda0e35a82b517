#ifndef TARVIK_TOOLS_SERVIDOR_REFERENCIA_BANCO_RELATORIOS_H_
#define TARVIK_TOOLS_SERVIDOR_REFERENCIA_BANCO_RELATORIOS_H_

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "servidor_referencia/relatorio_resultado.h"

struct sqlite3;

namespace tarvik::referencia {

// The result reports a server received, in the table "relatorios" of an
// SQLite database. One object may be used from several threads at once, and
// several processes may open the same file (a listing while the server
// runs).
class BancoRelatorios {
 public:
  enum class Modo {
    kGravacao,  // creates the file and the table when missing
    kLeitura,   // the file must exist
  };

  // Opens the database at `arquivo`. Raises std::runtime_error with SQLite's
  // message when it cannot be opened, or its table cannot be made.
  BancoRelatorios(const std::filesystem::path& arquivo, Modo modo);
  ~BancoRelatorios();
  BancoRelatorios(const BancoRelatorios&) = delete;
  BancoRelatorios& operator=(const BancoRelatorios&) = delete;

  // Stores one report; its `numero` is ignored, the database gives the next.
  // Raises std::runtime_error when it cannot be stored.
  void Grava(const RelatorioResultado& relatorio);

  // Every stored report, in the order received. Raises std::runtime_error.
  std::vector<RelatorioResultado> Lista() const;

 private:
  void Executa(std::string_view sql) const;

  sqlite3* banco_ = nullptr;
  mutable std::mutex mutex_;
};

// The reports as the listing shows them: a heading line with the number,
// the time received and the client's address, then one indented line per
// field; "nenhum relatório" when there is none. Control characters inside
// values are written as \xHH, so every field stays on its line.
std::string FormataRelatorios(const std::vector<RelatorioResultado>& relatorios);

}  // namespace tarvik::referencia

#endif  // TARVIK_TOOLS_SERVIDOR_REFERENCIA_BANCO_RELATORIOS_H_
