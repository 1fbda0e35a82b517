#include "startup/modulo_atualizador.h"

#include "log/registro.h"
#include "platform/process.h"
#include "startup/aplicativo.h"
#include "startup/configuracao.h"
#include "startup/controle_atualizacao.h"
#include "startup/dados_instalacao.h"
#include "startup/textos_inicio.h"

namespace tarvik {

void Main() {
  RenovaRegistro();
  RegistraLog(textos::kInicio, kInfo);

  if (!VerificaControleAtualizacao()) {
    RegistraLog(textos::kFimSemBusca, kInfo);
    ExecutaAplicativo();
    return;
  }

  DadosInstalacao dados;
  if (!LeConfiguracao(kSecaoConfiguracao, kChaveVersao).empty()) dados = LeDadosConfiguracao();

  const std::string argumento = platform::CommandLineArgument();
  RegistraLog(textos::VersaoReinicio(argumento, kVersaoAtualizador), kInfo);
  // The restart after a self-update names the version that did it; still
  // being that version means the replacement did not take effect.
  if (argumento == kVersaoAtualizador) RegistraLog(textos::kReinicioIgualAtual, kAviso);

  ExecutaAplicativo();
  RegistraLog(textos::kFimProcesso, kInfo);
}

}  // namespace tarvik
