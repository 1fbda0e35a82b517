#ifndef TARVIK_TOOLS_SERVIDOR_REFERENCIA_BANCO_SQLITE_H_
#define TARVIK_TOOLS_SERVIDOR_REFERENCIA_BANCO_SQLITE_H_

#include <filesystem>
#include <mutex>
#include <string_view>

#include "servidor_referencia/banco_relatorios.h"

struct sqlite3;

namespace tarvik::referencia {

// The reports in one SQLite file, the embedded default of a single server.
class BancoSqlite : public BancoRelatorios {
 public:
  // Opens the file `arquivo`. Raises std::runtime_error with SQLite's
  // message when it cannot be opened, or its table cannot be made.
  BancoSqlite(const std::filesystem::path& arquivo, Modo modo);
  ~BancoSqlite() override;
  BancoSqlite(const BancoSqlite&) = delete;
  BancoSqlite& operator=(const BancoSqlite&) = delete;

  void Grava(const RelatorioResultado& relatorio) override;
  std::vector<RelatorioResultado> Lista() const override;

 private:
  void Executa(std::string_view sql) const;

  sqlite3* banco_ = nullptr;
  mutable std::mutex mutex_;
};

}  // namespace tarvik::referencia

#endif  // TARVIK_TOOLS_SERVIDOR_REFERENCIA_BANCO_SQLITE_H_
