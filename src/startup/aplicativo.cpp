#include "startup/aplicativo.h"

#include "platform/notice.h"
#include "platform/process.h"
#include "platform/utilitarios.h"
#include "startup/textos_inicio.h"

namespace tarvik {
namespace {

constexpr char kAplicativo[] = "pelirana.exe";
constexpr char kLoteReinicio[] = "atualiza.bat";

}  // namespace

void ExecutaAplicativo() {
  // The doubled separator is harmless: the platform reads it as one.
  if (CriaUtilitarios()->ArquivoExiste(platform::ProgramFolder() + "\\\\" + kAplicativo)) {
    platform::StartProgram(kAplicativo);
  } else {
    platform::ShowNotice(textos::kTituloAtualizador, textos::kProgramaNaoEncontrado,
                         platform::NoticeStyle::kCritical);
  }
}

void ExecutaLoteReinicio() { platform::StartProgram(kLoteReinicio); }

}  // namespace tarvik
