// The operator's dashboard over a scripted fleet, against an SQLite file and,
// when the test run provides a server (TARVIK_POSTGRESQL, a libpq address),
// against PostgreSQL: reports sent at once through two servers on one
// store, the counts, the filter, the login, and the page in headless
// Chromium when it is installed. POSIX only, as the reference server.

#include "servidor_referencia/painel.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "platform/utilitarios.h"
#include "servidor_referencia/acesso_operador.h"
#include "servidor_referencia/servidor_referencia.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"
#include "tools/servidor_em_teste.h"

namespace tarvik::referencia {
namespace {

namespace fs = std::filesystem;
using teste::ServidorEmTeste;

constexpr char kSenha[] = "cafe com pão";
constexpr char kChromium[] = "/usr/bin/chromium";

// The dashboard's filter as read back, or the reason it was refused.
std::string Lido(const std::string& consulta) {
  const FiltroPainel filtro = InterpretaFiltro(consulta);
  return filtro.motivo.empty() ? filtro.versao + "|" + filtro.desde + "|" + filtro.ate
                               : filtro.motivo;
}

TEST(FiltroPainelTest, ReadsReleaseAndDaysAndRefusesTheRest) {
  const std::pair<std::string, std::string> casos[] = {
      {"", "||"},
      {"versao=&desde=&ate=", "||"},
      {"versao=2.31&desde=2026-12-01&ate=2028-02-29", "2.31|2026-12-01|2028-02-29"},
      {"desde=2026%2D12%2D01", "|2026-12-01|"},
      {"versao=..", "valor [..] da chave [versao]"},
      {"desde=2027-02-29", "valor [2027-02-29] da chave [desde]"},
      {"ate=2026-13-01", "valor [2026-13-01] da chave [ate]"},
      {"ate=2026-1-01", "valor [2026-1-01] da chave [ate]"},
      {"versao=2.31&versao=2.30", "chave [versao] repetida ou sem valor"},
      {"versao", "chave [versao] repetida ou sem valor"},
      {"versao=2.31&", "chave [] desconhecida"},
      {"cnpj=1", "chave [cnpj] desconhecida"},
  };
  for (const auto& [consulta, lido] : casos) EXPECT_EQ(Lido(consulta), lido) << consulta;
}

// One installation of the fleet: the results it reports, in order.
struct Instalacao {
  std::vector<std::string> resultados;
  std::string de, para;
};

// Seven took 2.31, two failed, one found its files in use, one keeps
// restarting, one restarted and then took it; two took 2.30 earlier.
std::vector<Instalacao> Frota() {
  std::vector<Instalacao> frota(7, {{"SucessoInstalacao"}, "2.30", "2.31"});
  frota.insert(frota.end(), 2, {{"FalhaInstalacao"}, "2.30", "2.31"});
  frota.push_back({{"FalhaArquivosEmUso"}, "2.30", "2.31"});
  frota.push_back({{"ArquivosEmUsoReiniciar", "ArquivosEmUsoReiniciar"}, "2.30", "2.31"});
  frota.push_back({{"ArquivosEmUsoReiniciar", "SucessoInstalacao"}, "2.30", "2.31"});
  frota.insert(frota.end(), 2, {{"SucessoInstalacao"}, "2.29", "2.30"});
  return frota;
}

// What a page shows of the fleet, a line for each element that carries a
// count or names an installation that needs a look, sorted: the latter come
// in any order.
std::string Mostrado(const std::string& pagina) {
  const std::regex elemento(R"re(data-([a-z-]+)="([^"]*)"(?: data-desfecho="([^"]*)")?>(\d*))re");
  std::vector<std::string> linhas;
  for (std::sregex_iterator it(pagina.begin(), pagina.end(), elemento), fim; it != fim; ++it)
    linhas.push_back(it->format("$1($2,$3)=$4\n"));
  std::sort(linhas.begin(), linhas.end());
  return std::accumulate(linhas.begin(), linhas.end(), std::string());
}

// What the dashboard shows of the whole fleet.
constexpr char kTodaFrota[] = R"(em-campo(2.30,)=6
em-campo(2.31,)=8
instalacoes(,)=14
problema({inst-10},)=
problema({inst-7},)=
problema({inst-8},)=
problema({inst-9},)=
relatorios(,)=16
versao(2.30,ArquivosEmUsoReiniciar)=0
versao(2.30,FalhaArquivosEmUso)=0
versao(2.30,FalhaInstalacao)=0
versao(2.30,SucessoInstalacao)=2
versao(2.31,ArquivosEmUsoReiniciar)=3
versao(2.31,FalhaArquivosEmUso)=1
versao(2.31,FalhaInstalacao)=2
versao(2.31,SucessoInstalacao)=8
)";

// A schema of its own in the PostgreSQL server of the test run, dropped at
// the end, so that tests running at once do not share the table.
class EsquemaPostgresql {
 public:
  explicit EsquemaPostgresql(std::string base)
      : base_(std::move(base)),
        nome_("teste_" + std::to_string(getpid()) + "_" + std::to_string(proximo_++)) {
    Executa("CREATE SCHEMA " + nome_);
  }
  ~EsquemaPostgresql() { Executa("DROP SCHEMA " + nome_ + " CASCADE"); }

  // Named after the schema, so that its connections can be told apart.
  std::string Endereco() const {
    return base_ + (base_.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" +
           nome_ + "&application_name=" + nome_;
  }

  // Ends the connections of the servers on the schema, as a restart of the
  // database would.
  void CortaConexoes() const {
    Executa("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = '" +
                nome_ + "'",
            PGRES_TUPLES_OK);
  }

 private:
  void Executa(const std::string& sql, ExecStatusType esperado = PGRES_COMMAND_OK) const {
    PGconn* conexao = PQconnectdb(base_.c_str());
    PGresult* resultado = PQexec(conexao, sql.c_str());
    EXPECT_EQ(PQresultStatus(resultado), esperado) << PQerrorMessage(conexao);
    PQclear(resultado);
    PQfinish(conexao);
  }

  static inline std::atomic<int> proximo_ = 0;
  std::string base_, nome_;
};

class PainelTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (GetParam() == "postgresql") {
      const char* servidor = std::getenv("TARVIK_POSTGRESQL");
      if (!servidor) GTEST_SKIP() << "sem servidor PostgreSQL (TARVIK_POSTGRESQL)";
      esquema_ = std::make_unique<EsquemaPostgresql>(servidor);
      configuracao_.banco = esquema_->Endereco();
    } else {
      configuracao_.banco = pasta_.Em("relatorios.db");
    }
    teste::EscreveArquivo(pasta_.Caminho() / "catalogo" / "descritores" / "leia-me", "");
    configuracao_.catalogo = pasta_.Em("catalogo");
    configuracao_.senhaOperador = ResumoSenha(kSenha, 1000);
    servidores_[0] = std::make_unique<ServidorEmTeste>(configuracao_);
    servidores_[1] = std::make_unique<ServidorEmTeste>(configuracao_);
    EnviaFrota();
  }

  // Four installers at once, each sending its installations' reports in
  // order, to both servers in turn, as behind a load balancer.
  void EnviaFrota() {
    const std::vector<Instalacao> frota = Frota();
    std::vector<std::thread> envios;
    for (size_t t = 0; t < 4; ++t) {
      envios.emplace_back([&, t] {
        httplib::Client clientes[] = {httplib::Client(servidores_[0]->Url()),
                                      httplib::Client(servidores_[1]->Url())};
        for (size_t i = t; i < frota.size(); i += 4) {
          const std::string windows =
              i % 2 ? "version='10.0' build='19045'" : "version='6.1' build='7601'";
          for (const std::string& resultado : frota[i].resultados) {
            const auto resposta = clientes[i % 2].Get(
                std::string(kCaminhoVerificacao) + "?operacao=resultado&chave={inst-" +
                    std::to_string(i) + "}&data=20261204042903&resultado=" + resultado +
                    "&versao_original=" + frota[i].de + "&versao_atualizada=" + frota[i].para +
                    "&conta=conta " + std::to_string(i) + "&cnpj=12.345.678/0001-" +
                    std::to_string(10 + i),
                httplib::Headers{{kCabecalhoInformacaoCliente, "<atualizador " + windows + " />"}});
            EXPECT_TRUE(resposta && resposta->status == 200) << i;
          }
        }
      });
    }
    for (std::thread& envio : envios) envio.join();
  }

  std::string Url() const { return servidores_[0]->Url(); }

  teste::PastaTemporaria pasta_;
  std::unique_ptr<EsquemaPostgresql> esquema_;
  ConfiguracaoServidor configuracao_;
  std::unique_ptr<ServidorEmTeste> servidores_[2];
};

TEST_P(PainelTest, ShowsTheFleetOnlyToTheOperator) {
  // The servers connect again when the database dropped them.
  if (esquema_) esquema_->CortaConexoes();
  httplib::Client cliente(Url());
  const auto entrada = cliente.Post(kCaminhoEntrada, std::string("senha=cafe+com+p%C3%A3o"),
                                    "application/x-www-form-urlencoded");
  ASSERT_TRUE(entrada);
  // The session cookie is out of scripts' reach, and every server on the
  // same password accepts it.
  const std::string cookie = entrada->get_header_value("Set-Cookie");
  EXPECT_EQ(entrada->status, 303);
  EXPECT_TRUE(std::regex_match(cookie, std::regex("tarvik_sessao=[0-9]+\\.[0-9a-f]{64}; "
                                                  "Path=/painel; Max-Age=28800; HttpOnly; "
                                                  "SameSite=Lax")))
      << cookie;
  const httplib::Headers sessao = {{"Cookie", cookie.substr(0, cookie.find(';'))}};
  const httplib::Headers forjada = {{"Cookie", "tarvik_sessao=4102444800.00"}};

  struct Caso {
    std::string alvo;
    httplib::Headers cabecalhos;
    int status;
    std::string mostrado = "", trecho = "";
  };
  const std::string painel = kCaminhoPainel;
  const Caso casos[] = {
      {painel, {}, 401},
      {kCaminhoRelatorios, {}, 401},
      {painel, forjada, 401},
      // A stuck installation, with whom to call and the Windows it runs.
      {painel, sessao, 200, kTodaFrota,
       "<tr data-problema=\"{inst-10}\"><td>{inst-10}</td><td>conta 10</td>"
       "<td>12.345.678/0001-20</td><td>2.30</td><td>2.31</td>"
       "<td>ArquivosEmUsoReiniciar</td><td class=\"n\">2</td>"
       "<td>6.1.7601</td><td>2026-12-04 07:29:03</td></tr>"},
      {painel + "?versao=2.30&desde=2026-12-04&ate=2026-12-04", sessao, 200,
       "em-campo(2.30,)=2\ninstalacoes(,)=2\nrelatorios(,)=2\n"
       "versao(2.30,ArquivosEmUsoReiniciar)=0\nversao(2.30,FalhaArquivosEmUso)=0\n"
       "versao(2.30,FalhaInstalacao)=0\nversao(2.30,SucessoInstalacao)=2\n"},
      {painel + "?desde=2026-12-05", sessao, 200, "instalacoes(,)=0\nrelatorios(,)=0\n"},
      {painel + "?versao=%3Cscript%3E", sessao, 400},
      // Every report sent through either server is in the store.
      {kCaminhoRelatorios, sessao, 200, "", "relatório 16, recebido em"},
  };
  for (size_t i = 0; i < std::size(casos); ++i) {
    httplib::Client outro(servidores_[i % 2]->Url());
    const auto resposta = outro.Get(casos[i].alvo, casos[i].cabecalhos);
    ASSERT_TRUE(resposta) << casos[i].alvo;
    EXPECT_EQ(resposta->status, casos[i].status) << casos[i].alvo;
    EXPECT_EQ(Mostrado(resposta->body), casos[i].mostrado) << casos[i].alvo;
    EXPECT_NE(resposta->body.find(casos[i].trecho), std::string::npos) << resposta->body;
    // Without a session no customer's data leaves the server.
    if (casos[i].status != 200) {
      EXPECT_EQ(resposta->body.find("12.345.678"), std::string::npos);
    }
  }

  // A wrong password or a form without one is refused; logging out clears
  // the cookie.
  for (const auto& [corpo, status] :
       {std::pair{"senha=cafe", 401}, {"senha=a&senha=b", 400}, {"nome=x", 400}}) {
    const auto resposta =
        cliente.Post(kCaminhoEntrada, std::string(corpo), "application/x-www-form-urlencoded");
    ASSERT_TRUE(resposta);
    EXPECT_EQ(resposta->status, status) << corpo;
    EXPECT_FALSE(resposta->has_header("Set-Cookie")) << corpo;
  }
  const auto saida = cliente.Post(kCaminhoSaida, sessao, "", "");
  ASSERT_TRUE(saida);
  EXPECT_EQ(saida->get_header_value("Set-Cookie"),
            "tarvik_sessao=; Path=/painel; Max-Age=0; HttpOnly; SameSite=Lax");
}

TEST_P(PainelTest, ClosesWithoutAPasswordAndRefusesPlainHttpBeyondLoopback) {
  ConfiguracaoServidor semSenha = configuracao_;
  semSenha.senhaOperador.clear();
  ServidorEmTeste fechado(semSenha);
  const auto resposta = httplib::Client(fechado.Url()).Get(kCaminhoPainel);
  ASSERT_TRUE(resposta);
  EXPECT_EQ(resposta->status, 403);
  EXPECT_EQ(resposta->body, "painel fechado: o servidor não tem senha de operador\n");

  ConfiguracaoServidor aberto = configuracao_;
  aberto.endereco = "0.0.0.0";
  EXPECT_THROW(ServidorReferencia(aberto, [](const std::string&) {}), std::runtime_error);
}

// Chromium logs in through a form the test writes, which its script sends,
// and renders the page the server answers; the page itself has no script.
TEST_P(PainelTest, ShowsTheCountsInABrowser) {
  if (!fs::exists(kChromium)) GTEST_SKIP() << "sem " << kChromium;
  teste::EscreveArquivo(pasta_.Caminho() / "entrar.html",
                        "<meta charset=\"utf-8\"><form method=\"post\" action=\"" + Url() +
                            kCaminhoEntrada + "\"><input name=\"senha\" value=\"" + kSenha +
                            "\"></form><script>document.forms[0].submit()</script>");
  const fs::path imagem = teste::PastaBinarios().parent_path() / ("painel-" + GetParam() + ".png");
  const auto navega = [&](const std::string& saida) {
    return teste::Executa(
        kChromium,
        {"--headless", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + pasta_.Em("perfil"),
         "--window-size=1000,1000", "--virtual-time-budget=5000", saida,
         "file://" + pasta_.Em("entrar.html")},
        pasta_.Caminho());
  };
  const auto dom = navega("--dump-dom");
  ASSERT_EQ(dom.status, 0) << dom.erros;
  EXPECT_EQ(Mostrado(dom.saida), kTodaFrota) << dom.saida;
  fs::remove(imagem);
  ASSERT_EQ(navega("--screenshot=" + imagem.string()).status, 0);
  EXPECT_GT(fs::file_size(imagem), 10000u);
}

INSTANTIATE_TEST_SUITE_P(Bancos, PainelTest, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& parametro) { return parametro.param; });

}  // namespace
}  // namespace tarvik::referencia
