#include "startup/dados_instalacao.h"

#include "platform/process.h"
#include "startup/configuracao.h"

namespace tarvik {

DadosInstalacao LeDadosConfiguracao() {
  DadosInstalacao dados;
  dados.versaoAplicativo = LeConfiguracao(kSecaoConfiguracao, kChaveVersao);
  dados.pastaBase = LeConfiguracao(kSecaoConfiguracao, kChaveBase);
  dados.idInstalacao = LeConfiguracao(kSecaoConfiguracao, kChaveIdInstalador);
  dados.urlServidor = LeConfiguracao(kSecaoConfiguracao, kChaveUrl);
  dados.conta = LeConfiguracao(kSecaoConfiguracao, kChaveConta);
  dados.cnpj = LeConfiguracao(kSecaoConfiguracao, kChaveCnpj);
  if (dados.pastaBase.empty()) dados.pastaBase = platform::ProgramFolder();
  return dados;
}

}  // namespace tarvik
