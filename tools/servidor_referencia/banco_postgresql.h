#ifndef TARVIK_TOOLS_SERVIDOR_REFERENCIA_BANCO_POSTGRESQL_H_
#define TARVIK_TOOLS_SERVIDOR_REFERENCIA_BANCO_POSTGRESQL_H_

#include <mutex>
#include <string>

#include "servidor_referencia/banco_relatorios.h"

struct pg_conn;
struct pg_result;

namespace tarvik::referencia {

// The reports in a PostgreSQL database, shared by several server instances:
// each report is one INSERT that the database numbers, so instances writing
// at once lose none.
class BancoPostgresql : public BancoRelatorios {
 public:
  // Connects to `endereco` ("postgresql://user@host:port/database").
  // Raises std::runtime_error with libpq's message when it cannot connect,
  // or the table cannot be made.
  BancoPostgresql(const std::string& endereco, Modo modo);
  ~BancoPostgresql() override;
  BancoPostgresql(const BancoPostgresql&) = delete;
  BancoPostgresql& operator=(const BancoPostgresql&) = delete;

  // Both connect again and repeat once when the connection was lost.
  void Grava(const RelatorioResultado& relatorio) override;
  std::vector<RelatorioResultado> Lista() const override;

 private:
  // Runs `comando` (which returns a PGresult), again on a new connection
  // when the first try found the connection lost.
  template <typename Comando>
  pg_result* Retomando(Comando comando) const;

  pg_conn* conexao_ = nullptr;
  mutable std::mutex mutex_;
};

}  // namespace tarvik::referencia

#endif  // TARVIK_TOOLS_SERVIDOR_REFERENCIA_BANCO_POSTGRESQL_H_
