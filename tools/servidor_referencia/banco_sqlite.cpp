#include "servidor_referencia/banco_sqlite.h"

#include <sqlite3.h>

#include <stdexcept>

namespace tarvik::referencia {

namespace {

constexpr int kEsperaBloqueioMs = 5000;

constexpr char kCriaTabela[] =
    "CREATE TABLE IF NOT EXISTS relatorios ("
    " numero INTEGER PRIMARY KEY AUTOINCREMENT,"
    " recebido_em TEXT NOT NULL, endereco TEXT NOT NULL,"
    " chave TEXT NOT NULL, data TEXT NOT NULL, resultado TEXT NOT NULL,"
    " versao_original TEXT NOT NULL, versao_atualizada TEXT NOT NULL,"
    " conta TEXT NOT NULL, cnpj TEXT NOT NULL, informacao_cliente TEXT NOT NULL)";

constexpr char kInsere[] =
    "INSERT INTO relatorios (recebido_em, endereco, chave, data, resultado, versao_original,"
    " versao_atualizada, conta, cnpj, informacao_cliente) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

constexpr char kSeleciona[] =
    "SELECT numero, recebido_em, endereco, chave, data, resultado, versao_original,"
    " versao_atualizada, conta, cnpj, informacao_cliente FROM relatorios ORDER BY numero";

struct FinalizaComando {
  void operator()(sqlite3_stmt* comando) const { sqlite3_finalize(comando); }
};
using Comando = std::unique_ptr<sqlite3_stmt, FinalizaComando>;

[[noreturn]] void Falha(sqlite3* banco, const std::string& oque) {
  throw std::runtime_error(oque + ": " + (banco ? sqlite3_errmsg(banco) : "sem memória"));
}

Comando Prepara(sqlite3* banco, std::string_view sql) {
  sqlite3_stmt* comando = nullptr;
  if (sqlite3_prepare_v2(banco, sql.data(), static_cast<int>(sql.size()), &comando, nullptr) !=
      SQLITE_OK) {
    Falha(banco, "comando SQL recusado");
  }
  return Comando(comando);
}

}  // namespace

BancoSqlite::BancoSqlite(const std::filesystem::path& arquivo, Modo modo) {
  const int flags =
      modo == Modo::kGravacao ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
  if (sqlite3_open_v2(arquivo.c_str(), &banco_, flags | SQLITE_OPEN_FULLMUTEX, nullptr) !=
      SQLITE_OK) {
    const std::string mensagem = banco_ ? sqlite3_errmsg(banco_) : "sem memória";
    sqlite3_close(banco_);
    banco_ = nullptr;
    throw std::runtime_error("não foi possível abrir o banco [" + arquivo.string() +
                             "]: " + mensagem);
  }
  sqlite3_busy_timeout(banco_, kEsperaBloqueioMs);
  if (modo == Modo::kGravacao) {
    try {
      // With a write-ahead log a report costs one sync instead of several,
      // and a listing reads while the server writes.
      if (sqlite3_exec(banco_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr) != SQLITE_OK)
        Falha(banco_, "comando SQL falhou");
      Executa(kCriaTabela);
    } catch (...) {
      sqlite3_close(banco_);
      throw;
    }
  }
}

BancoSqlite::~BancoSqlite() { sqlite3_close(banco_); }

void BancoSqlite::Executa(std::string_view sql) const {
  Comando comando = Prepara(banco_, sql);
  if (sqlite3_step(comando.get()) != SQLITE_DONE) Falha(banco_, "comando SQL falhou");
}

void BancoSqlite::Grava(const RelatorioResultado& relatorio) {
  std::lock_guard trava(mutex_);
  Comando comando = Prepara(banco_, kInsere);
  int coluna = 0;
  for (const auto campo : ColunasRelatorio()) {
    const std::string& valor = relatorio.*campo;
    sqlite3_bind_text(comando.get(), ++coluna, valor.data(), static_cast<int>(valor.size()),
                      SQLITE_TRANSIENT);
  }
  if (sqlite3_step(comando.get()) != SQLITE_DONE)
    Falha(banco_, "não foi possível gravar o relatório");
}

std::vector<RelatorioResultado> BancoSqlite::Lista() const {
  std::lock_guard trava(mutex_);
  Comando comando = Prepara(banco_, kSeleciona);
  std::vector<RelatorioResultado> relatorios;
  int passo;
  while ((passo = sqlite3_step(comando.get())) == SQLITE_ROW) {
    RelatorioResultado relatorio;
    relatorio.numero = sqlite3_column_int64(comando.get(), 0);
    int coluna = 0;
    for (const auto campo : ColunasRelatorio()) {
      ++coluna;
      const auto* texto = reinterpret_cast<const char*>(sqlite3_column_text(comando.get(), coluna));
      relatorio.*campo =
          texto
              ? std::string(texto, static_cast<size_t>(sqlite3_column_bytes(comando.get(), coluna)))
              : "";
    }
    relatorios.push_back(std::move(relatorio));
  }
  if (passo != SQLITE_DONE) Falha(banco_, "não foi possível ler os relatórios");
  return relatorios;
}

}  // namespace tarvik::referencia
