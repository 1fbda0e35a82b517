#ifndef TARVIK_STARTUP_DADOS_INSTALACAO_H_
#define TARVIK_STARTUP_DADOS_INSTALACAO_H_

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

}  // namespace tarvik

#endif  // TARVIK_STARTUP_DADOS_INSTALACAO_H_
