#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/erro.h"
#include "base/texto.h"
#include "platform/acesso_dados.h"
#include "platform/files.h"

namespace tarvik {
namespace {

using Linha = std::vector<std::optional<std::string>>;

class RegistrosSqlite : public Registros {
 public:
  RegistrosSqlite(std::vector<std::string> nomes, std::vector<Linha> linhas)
      : nomes_(std::move(nomes)), linhas_(std::move(linhas)) {}

  int32_t RecordCount() const override { return static_cast<int32_t>(linhas_.size()); }

  std::optional<std::string> Campo(const std::string& nome) const override {
    for (size_t i = 0; i < nomes_.size(); ++i) {
      if (IgualSemCaixa(nomes_[i], nome) && !linhas_.empty()) return linhas_.front()[i];
    }
    throw ErroPadrao(codigo_erro::kArgumentoInvalido, "Registros:Campo", nome);
  }

  void Close() override { linhas_.clear(); }

 private:
  std::vector<std::string> nomes_;
  std::vector<Linha> linhas_;
};

// The application database as an SQLite file. User, password and provider
// have no meaning to SQLite and are ignored; the queries and the UPDATE the
// updater runs are valid SQLite.
class AcessoDadosSqlite : public AcessoDados {
 public:
  ~AcessoDadosSqlite() override { Fecha(); }

  void Modo(int32_t) override {}
  void CaminhoBanco(const std::string& caminho) override { caminho_ = caminho; }
  void Usuario(const std::string&) override {}
  void Senha(const std::string&) override {}
  void Provedor(const std::string&) override {}
  void NomeBanco(const std::string& nome) override { nome_ = nome; }

  bool Abre() override {
    Fecha();
    const std::string arquivo = platform::NativePath(caminho_ + nome_);
    // Never create a database: a missing file is a failure to open.
    if (sqlite3_open_v2(arquivo.c_str(), &banco_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      Fecha();
      return false;
    }
    sqlite3_busy_timeout(banco_, 5000);
    // SQLite opens lazily; reading the schema tells a database from any file.
    if (sqlite3_exec(banco_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
      Fecha();
      return false;
    }
    return true;
  }

  int16_t ExecutaComando(const std::string& sql, int32_t&, int16_t&) override {
    if (!banco_ || sqlite3_exec(banco_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
      return 0;
    }
    const int alteradas = sqlite3_changes(banco_);
    return static_cast<int16_t>(alteradas > INT16_MAX ? INT16_MAX : alteradas);
  }

  bool Consulta(const std::string& sql, int32_t&, std::unique_ptr<Registros>& registros) override {
    if (!banco_) return false;
    sqlite3_stmt* bruto = nullptr;
    if (sqlite3_prepare_v2(banco_, sql.c_str(), -1, &bruto, nullptr) != SQLITE_OK) return false;
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> consulta(bruto, sqlite3_finalize);

    std::vector<std::string> nomes;
    for (int i = 0; i < sqlite3_column_count(bruto); ++i)
      nomes.emplace_back(sqlite3_column_name(bruto, i));
    std::vector<Linha> linhas;
    int passo;
    while ((passo = sqlite3_step(bruto)) == SQLITE_ROW) {
      Linha linha;
      for (int i = 0; i < static_cast<int>(nomes.size()); ++i) {
        if (sqlite3_column_type(bruto, i) == SQLITE_NULL) {
          linha.emplace_back(std::nullopt);
        } else {
          // The text form of any value: integers in decimal, reals as SQLite writes them.
          const auto* texto = reinterpret_cast<const char*>(sqlite3_column_text(bruto, i));
          linha.emplace_back(
              std::string(texto, static_cast<size_t>(sqlite3_column_bytes(bruto, i))));
        }
      }
      linhas.push_back(std::move(linha));
    }
    if (passo != SQLITE_DONE) return false;
    registros = std::make_unique<RegistrosSqlite>(std::move(nomes), std::move(linhas));
    return true;
  }

  bool Fecha() override {
    if (!banco_) return false;
    sqlite3_close_v2(banco_);
    banco_ = nullptr;
    return true;
  }

 private:
  std::string caminho_;
  std::string nome_;
  sqlite3* banco_ = nullptr;
};

}  // namespace

std::unique_ptr<AcessoDados> CriaAcessoDadosDaPlataforma() {
  return std::make_unique<AcessoDadosSqlite>();
}

}  // namespace tarvik
