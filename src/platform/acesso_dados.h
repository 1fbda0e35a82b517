#ifndef TARVIK_PLATFORM_ACESSO_DADOS_H_
#define TARVIK_PLATFORM_ACESSO_DADOS_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/fabrica.h"

namespace tarvik {

// The rows a query returned; the current row is the first.
class Registros {
 public:
  virtual ~Registros() = default;
  // Number of rows the query returned.
  virtual int32_t RecordCount() const = 0;
  // The value of field `nome` (matched without regard to case) on the
  // current row as text; nothing for Null. Raises 5 for an unknown field or
  // when there is no row.
  virtual std::optional<std::string> Campo(const std::string& nome) const = 0;
  virtual void Close() = 0;
};

// The data-access component for the application database. Setters take the
// connection settings; `Abre` opens, `Consulta` runs a query, `ExecutaComando`
// a statement. Expected failures are answers (false, or a count below 1);
// nothing here raises for a missing or broken database.
class AcessoDados {
 public:
  virtual ~AcessoDados() = default;

  virtual void Modo(int32_t modo) = 0;
  // The database folder, ending in a separator.
  virtual void CaminhoBanco(const std::string& caminho) = 0;
  virtual void Usuario(const std::string& usuario) = 0;
  virtual void Senha(const std::string& senha) = 0;
  virtual void Provedor(const std::string& provedor) = 0;
  virtual void NomeBanco(const std::string& nome) = 0;

  // True when the database is open.
  virtual bool Abre() = 0;
  // Runs `sql`; the number of rows it changed, 0 or less on failure.
  virtual int16_t ExecutaComando(const std::string& sql, int32_t& n, int16_t& m) = 0;
  // Runs the query `sql`; on true, `registros` holds its rows.
  virtual bool Consulta(const std::string& sql, int32_t& n,
                        std::unique_ptr<Registros>& registros) = 0;
  virtual bool Fecha() = 0;
};

template <>
Fabrica<AcessoDados>::Funcao& Fabrica<AcessoDados>::EmUso();

// A new instance from the factory in use.
inline std::unique_ptr<AcessoDados> CriaAcessoDados() { return Fabrica<AcessoDados>::Cria(); }

// Replaces the factory for its lifetime (tests only).
using FabricaAcessoDadosDeTeste = Fabrica<AcessoDados>::Substituta;

// The platform's own data-access component; each platform folder defines it.
std::unique_ptr<AcessoDados> CriaAcessoDadosDaPlataforma();

}  // namespace tarvik

#endif  // TARVIK_PLATFORM_ACESSO_DADOS_H_
