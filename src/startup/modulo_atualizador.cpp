#include "startup/modulo_atualizador.h"

#include <optional>

#include "log/registro.h"
#include "platform/installation_lock.h"
#include "platform/notice.h"
#include "platform/process.h"
#include "script/diario_atualizacao.h"
#include "server/processamento.h"
#include "startup/aplicativo.h"
#include "startup/configuracao.h"
#include "startup/controle_atualizacao.h"
#include "startup/dados_instalacao.h"
#include "startup/textos_inicio.h"

namespace tarvik {
namespace {

constexpr char kNomeTrava[] = "\\atualizador.trava";

void Aviso(const char* texto, platform::NoticeStyle estilo) {
  platform::ShowNotice(textos::kTituloAtualizador, texto, estilo);
}

}  // namespace

void Main() {
  // Held until the program ends: a second run started together with this
  // one waits here, before it reads or writes anything of the installation.
  platform::InstallationLock trava(platform::ProgramFolder() + kNomeTrava);
  if (!trava.TryAcquire()) {
    RegistraLog(textos::kAguardandoOutraExecucao, kAviso);
    trava.Acquire();
  }
  RenovaRegistro();
  RegistraLog(textos::kInicio, kInfo);
  // Before anything else, and whether or not a check is due: the
  // application never starts on the mix of two releases that a run cut
  // short leaves.
  ReparaAtualizacaoInterrompida();

  if (!VerificaControleAtualizacao()) {
    RegistraLog(textos::kFimSemBusca, kInfo);
    ExecutaAplicativo();
    return;
  }

  DadosInstalacao dados;
  if (!LeConfiguracao(kSecaoConfiguracao, kChaveVersao).empty()) {
    dados = LeDadosConfiguracao();
  } else if (const auto base = LeDadosBase()) {
    dados = *base;
  } else {
    ExecutaAplicativo();
    return;
  }

  Processamento processamento;
  const std::string argumento = platform::CommandLineArgument();
  RegistraLog(textos::VersaoReinicio(argumento, kVersaoAtualizador), kInfo);

  auto verifica = [&](const std::string& versao, bool atualizador) {
    return processamento.ProcessaAtualizacaoAtualizador(versao, dados.pastaBase, dados.urlServidor,
                                                        dados.idInstalacao, atualizador,
                                                        dados.conta, dados.cnpj);
  };

  // The restart after a self-update names the version that did it; still
  // being that version means the replacement did not take effect, so the
  // updater check is skipped instead of looping.
  Resultado resultado = Resultado::kSucessoInstalacao;
  if (argumento == kVersaoAtualizador) {
    RegistraLog(textos::kReinicioIgualAtual, kAviso);
  } else {
    resultado = verifica(kVersaoAtualizador, true);
  }

  if (resultado == Resultado::kSucessoInstalacao) {
    resultado = verifica(dados.versaoAplicativo, false);
    if (resultado == Resultado::kSucessoInstalacao) {
      CriaControleAtualizacao();
      ExecutaAplicativo();
    } else if (resultado == Resultado::kFalhaArquivosEmUso) {
      ExecutaAplicativo();
    }
  } else if (resultado == Resultado::kArquivosEmUsoReiniciar) {
    Aviso(textos::kAtualizadorReinicia, platform::NoticeStyle::kInformation);
    ExecutaLoteReinicio();
  }

  if (resultado == Resultado::kFalhaArquivosEmUso) {
    Aviso(textos::kArquivosEmUso, platform::NoticeStyle::kCritical);
  } else if (resultado == Resultado::kFalhaInstalacao) {
    Aviso(textos::kFalhaInstalacao, platform::NoticeStyle::kCritical);
    ExecutaAplicativo();
  }
  RegistraLog(textos::kFimProcesso, kInfo);
}

}  // namespace tarvik
