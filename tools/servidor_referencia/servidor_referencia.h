#ifndef TARVIK_TOOLS_SERVIDOR_REFERENCIA_SERVIDOR_REFERENCIA_H_
#define TARVIK_TOOLS_SERVIDOR_REFERENCIA_SERVIDOR_REFERENCIA_H_

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "servidor_referencia/acesso_operador.h"
#include "servidor_referencia/banco_relatorios.h"
#include "servidor_referencia/catalogo.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace tarvik::referencia {

// Path of the check address, where installations ask for updates and send
// their result reports.
inline constexpr char kCaminhoVerificacao[] = "/tarvik/VerificaAtualizacao.aspx";
// Path under which the catalogue's files folder is served.
inline constexpr char kCaminhoArquivos[] = "/arquivos/";
// The operator's pages: the dashboard, the report list, login and logout.
inline constexpr char kCaminhoPainel[] = "/painel";
inline constexpr char kCaminhoRelatorios[] = "/painel/relatorios";
inline constexpr char kCaminhoEntrada[] = "/painel/entrar";
inline constexpr char kCaminhoSaida[] = "/painel/sair";

struct ConfiguracaoServidor {
  std::filesystem::path catalogo;
  // The store of the result reports: an SQLite file, or the address of a
  // PostgreSQL database ("postgresql://...").
  std::string banco;
  // The stored form of the operator's password (see ResumoSenha); empty:
  // the dashboard and the report list are closed.
  std::string senhaOperador;
  std::string endereco = "127.0.0.1";
  int porta = 0;  // 0: a free port
  // Both set: HTTPS with this certificate chain and private key (PEM).
  std::filesystem::path certificado;
  std::filesystem::path chave;
};

// The reference update server. On the check address it answers a check with
// the descriptor that takes the installation to the newest version of its
// product, or with a descriptor whose `atualizar` is "false" when the
// installation is current or unknown; it stores every result report with
// the client-environment header. It serves the catalogue's files folder.
// Every request gets one line in the log, with the reason when it is
// refused; a query that cannot be read gets 400, a path that names nothing
// 404, and a fault inside a handler 500: the server goes on.
// Under /painel it shows the reports to the operator who logged in with
// the password: the dashboard and the report list; the updater's addresses
// need no login.
class ServidorReferencia {
 public:
  // Receives each log line, without date.
  using Registro = std::function<void(const std::string&)>;
  // The current UTC time as "yyyy-mm-dd hh:mm:ss".
  using Relogio = std::function<std::string()>;

  // Opens the database and prepares the server. Raises std::runtime_error
  // when the database cannot be opened, the certificate or key cannot be
  // loaded, the operator's password is not a stored form, or the operator's
  // pages would be served without HTTPS on an address other than loopback.
  ServidorReferencia(ConfiguracaoServidor configuracao, Registro registro,
                     Relogio relogio = RelogioUtc);
  ~ServidorReferencia();
  ServidorReferencia(const ServidorReferencia&) = delete;
  ServidorReferencia& operator=(const ServidorReferencia&) = delete;

  // Binds the address and port and returns the port. Raises
  // std::runtime_error when it cannot.
  int Abre();

  // Serves until `Para` is called; only after `Abre`. May be run in another
  // thread than the one that calls `Para`.
  void Serve();

  // Makes `Serve` return, and a later `Serve` return at once. May be
  // called from any thread.
  void Para();

  // "http://" or "https://", the address and the port.
  std::string Url() const;

  // The current UTC time, as the server records it.
  static std::string RelogioUtc();

 private:
  void Rotas();
  void RotasPainel();
  // True when the request carries a valid session; otherwise answers it
  // with the login page.
  bool Autorizado(const httplib::Request& pedido, httplib::Response& resposta) const;

  ConfiguracaoServidor configuracao_;
  Registro registro_;
  Relogio relogio_;
  publicacao::Catalogo catalogo_;
  std::unique_ptr<BancoRelatorios> banco_;
  std::unique_ptr<AcessoOperador> acesso_;
  std::unique_ptr<httplib::Server> http_;
  int porta_ = 0;
};

}  // namespace tarvik::referencia

#endif  // TARVIK_TOOLS_SERVIDOR_REFERENCIA_SERVIDOR_REFERENCIA_H_
