#include "servidor_referencia/banco_postgresql.h"

#include <libpq-fe.h>

#include <charconv>
#include <memory>
#include <stdexcept>

namespace tarvik::referencia {

namespace {

// Servers that start together must not both create the table: the
// advisory lock lets one do it while the other waits.
constexpr char kCriaTabela[] =
    "BEGIN; SELECT pg_advisory_xact_lock(7235001);"
    " CREATE TABLE IF NOT EXISTS relatorios ("
    " numero BIGSERIAL PRIMARY KEY,"
    " recebido_em TEXT NOT NULL, endereco TEXT NOT NULL,"
    " chave TEXT NOT NULL, data TEXT NOT NULL, resultado TEXT NOT NULL,"
    " versao_original TEXT NOT NULL, versao_atualizada TEXT NOT NULL,"
    " conta TEXT NOT NULL, cnpj TEXT NOT NULL, informacao_cliente TEXT NOT NULL);"
    " COMMIT";

constexpr char kInsere[] =
    "INSERT INTO relatorios (recebido_em, endereco, chave, data, resultado, versao_original,"
    " versao_atualizada, conta, cnpj, informacao_cliente)"
    " VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10)";

constexpr char kSeleciona[] =
    "SELECT numero, recebido_em, endereco, chave, data, resultado, versao_original,"
    " versao_atualizada, conta, cnpj, informacao_cliente FROM relatorios ORDER BY numero";

struct LiberaResultado {
  void operator()(PGresult* resultado) const { PQclear(resultado); }
};
using Resultado = std::unique_ptr<PGresult, LiberaResultado>;

[[noreturn]] void Falha(const pg_conn* conexao, const std::string& oque) {
  std::string mensagem = conexao ? PQerrorMessage(conexao) : "sem memória";
  while (!mensagem.empty() && (mensagem.back() == '\n' || mensagem.back() == ' '))
    mensagem.pop_back();
  throw std::runtime_error(oque + ": " + mensagem);
}

void Confere(pg_conn* conexao, const Resultado& resultado, ExecStatusType esperado,
             const std::string& oque) {
  if (!resultado || PQresultStatus(resultado.get()) != esperado) Falha(conexao, oque);
}

}  // namespace

BancoPostgresql::BancoPostgresql(const std::string& endereco, Modo modo)
    : conexao_(PQconnectdb(endereco.c_str())) {
  if (!conexao_ || PQstatus(conexao_) != CONNECTION_OK) {
    const std::string mensagem = conexao_ ? PQerrorMessage(conexao_) : "sem memória";
    PQfinish(conexao_);
    throw std::runtime_error("não foi possível abrir o banco PostgreSQL: " +
                             mensagem.substr(0, mensagem.find_last_not_of("\n ") + 1));
  }
  if (modo == Modo::kGravacao) {
    const Resultado criada(PQexec(conexao_, kCriaTabela));
    if (!criada || PQresultStatus(criada.get()) != PGRES_COMMAND_OK) {
      const std::string mensagem = PQerrorMessage(conexao_);
      PQfinish(conexao_);
      throw std::runtime_error("comando SQL falhou: " +
                               mensagem.substr(0, mensagem.find_last_not_of("\n ") + 1));
    }
  }
}

BancoPostgresql::~BancoPostgresql() { PQfinish(conexao_); }

template <typename Comando>
PGresult* BancoPostgresql::Retomando(Comando comando) const {
  PGresult* resultado = comando();
  // A connection the database or the network dropped shows only when it is
  // used: then connect again and repeat, once. A report whose INSERT was
  // committed just before the drop may so be stored twice, never lost.
  if (PQstatus(conexao_) == CONNECTION_BAD) {
    PQclear(resultado);
    PQreset(conexao_);
    resultado = comando();
  }
  return resultado;
}

void BancoPostgresql::Grava(const RelatorioResultado& relatorio) {
  std::lock_guard trava(mutex_);
  std::vector<const char*> valores;
  std::vector<int> tamanhos;
  for (const auto campo : ColunasRelatorio()) {
    valores.push_back((relatorio.*campo).c_str());
    tamanhos.push_back(static_cast<int>((relatorio.*campo).size()));
  }
  const Resultado gravado(PQexecParams(conexao_, kInsere, static_cast<int>(valores.size()), nullptr,
                                       valores.data(), tamanhos.data(), nullptr, 0));
  Confere(conexao_, gravado, PGRES_COMMAND_OK, "não foi possível gravar o relatório");
}

std::vector<RelatorioResultado> BancoPostgresql::Lista() const {
  std::lock_guard trava(mutex_);
  const Resultado lido(Retomando([&] { return PQexec(conexao_, kSeleciona); }));
  Confere(conexao_, lido, PGRES_TUPLES_OK, "não foi possível ler os relatórios");
  std::vector<RelatorioResultado> relatorios;
  const int linhas = PQntuples(lido.get());
  relatorios.reserve(static_cast<size_t>(linhas));
  for (int linha = 0; linha < linhas; ++linha) {
    RelatorioResultado relatorio;
    const char* numero = PQgetvalue(lido.get(), linha, 0);
    std::from_chars(numero, numero + PQgetlength(lido.get(), linha, 0), relatorio.numero);
    int coluna = 0;
    for (const auto campo : ColunasRelatorio()) {
      ++coluna;
      relatorio.*campo = std::string(PQgetvalue(lido.get(), linha, coluna),
                                     static_cast<size_t>(PQgetlength(lido.get(), linha, coluna)));
    }
    relatorios.push_back(std::move(relatorio));
  }
  return relatorios;
}

}  // namespace tarvik::referencia
