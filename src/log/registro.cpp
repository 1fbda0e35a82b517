#include "log/registro.h"

#include "base/data_hora.h"
#include "base/erro.h"
#include "platform/clock.h"
#include "platform/date_format.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/utilitarios.h"

namespace tarvik {
namespace {

constexpr char kNomeRegistro[] = "\\registro.log";
constexpr char kSeparador[] = " - ";
constexpr int kSegundaFeira = 1;

}  // namespace

std::string CaminhoRegistro() { return platform::ProgramFolder() + kNomeRegistro; }

void RegistraLog(const std::string& linha, const std::string& categoria) {
  const std::string texto = platform::FormatGeneralDateTime(platform::LocalNow()) + kSeparador +
                            categoria + kSeparador + linha + "\r\n";
  platform::AppendText(CaminhoRegistro(), texto);
}

void RenovaRegistro() {
  const DataHora hoje = platform::LocalNow();
  if (hoje.DiaDaSemana() != kSegundaFeira) return;
  IgnoraFalha([&] {
    const std::string caminho = CaminhoRegistro();
    if (!CriaUtilitarios()->ArquivoExiste(caminho)) return;
    if (!platform::LastModified(caminho).MesmaData(hoje)) platform::RemoveFile(caminho);
  });
}

}  // namespace tarvik
