#include "startup/controle_atualizacao.h"

#include <optional>

#include "base/data_hora.h"
#include "base/erro.h"
#include "log/registro.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/utilitarios.h"
#include "startup/textos_inicio.h"

namespace tarvik {
namespace {

constexpr char kNomeControle[] = "\\dados\\atualiza.txt";
constexpr char kConteudoControle[] = "[ControleAtualizador]\r\n";
constexpr int64_t kDiasEntreBuscas = 2;

}  // namespace

std::string CaminhoControle() { return platform::ProgramFolder() + kNomeControle; }

bool VerificaControleAtualizacao() {
  const std::string caminho = CaminhoControle();
  // The date is read first: only when it cannot be read is it asked
  // whether the file exists at all.
  std::optional<int64_t> dias;
  IgnoraFalha([&] { dias = DiasEntre(platform::LastModified(caminho), platform::LocalNow()); });
  if (!dias) {
    bool existe = false;
    IgnoraFalha([&] { existe = CriaUtilitarios()->ArquivoExiste(caminho); });
    if (!existe) IgnoraFalha([] { RegistraLog(textos::kControleNaoExiste, kAviso); });
    return true;
  }
  if (*dias >= kDiasEntreBuscas) return true;
  // The days really left until the next check: 2 on the day of a check.
  IgnoraFalha(
      [&] { RegistraLog(textos::AtualizacaoNaoNecessaria(kDiasEntreBuscas - *dias), kInfo); });
  return false;
}

void CriaControleAtualizacao() {
  IgnoraFalha([] { RegistraLog(textos::kCriandoControle, kAviso); });
  IgnoraFalha([] { platform::WriteText(CaminhoControle(), kConteudoControle); });
}

}  // namespace tarvik
