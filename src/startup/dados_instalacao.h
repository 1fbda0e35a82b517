#ifndef TARVIK_STARTUP_DADOS_INSTALACAO_H_
#define TARVIK_STARTUP_DADOS_INSTALACAO_H_

#include <optional>
#include <string>

namespace tarvik {

// The installation's identity and where to ask for updates, for one run.
struct DadosInstalacao {
  std::string versaoAplicativo;
  std::string pastaBase;
  std::string idInstalacao;
  std::string urlServidor;
  std::string conta;
  std::string cnpj;
};

// Configuration mode: every value from section "Configuracao" of
// "atualizador.ini", read in the order versao, base, id_instalador, url,
// conta, cnpj. An empty `base` means the program's own folder.
DadosInstalacao LeDadosConfiguracao();

// Database mode: the identity from the application database "pelirana.mdb"
// in the program's "Dados" folder, creating and storing an installation id
// when there is none; the server URL is the production address. Every
// failure is logged and gives nothing, and the run must then end after
// starting the main application. Null fields read as empty text.
std::optional<DadosInstalacao> LeDadosBase();

// The production address of the update check.
inline constexpr char kUrlProducao[] =
    "https://atualizacao.tarvik.com.br/tarvik/VerificaAtualizacao.aspx";

}  // namespace tarvik

#endif  // TARVIK_STARTUP_DADOS_INSTALACAO_H_
