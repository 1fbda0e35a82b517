#include "log/registro.h"

#include <utility>

#include "base/data_hora.h"
#include "base/erro.h"
#include "platform/clock.h"
#include "platform/date_format.h"
#include "platform/files.h"
#include "platform/own_files.h"
#include "platform/process.h"
#include "platform/utilitarios.h"

namespace tarvik {
namespace {

constexpr char kNomeRegistro[] = "\\registro.log";
constexpr char kSeparador[] = " - ";
constexpr int kSegundaFeira = 1;

// The innermost tolerant scope; the program has one thread.
RegistroTolerante* tolerante = nullptr;

}  // namespace

std::string CaminhoRegistro() { return platform::ProgramFolder() + kNomeRegistro; }

void RegistraLog(const std::string& linha, const std::string& categoria) {
  const std::string texto = platform::FormatGeneralDateTime(platform::LocalNow()) + kSeparador +
                            categoria + kSeparador + linha + "\r\n";
  try {
    platform::AppendText(CaminhoRegistro(), texto);
  } catch (const Erro& erro) {
    if (!tolerante) throw;
    if (!tolerante->falha_) tolerante->falha_ = erro;
  }
}

RegistroTolerante::RegistroTolerante() : anterior_(std::exchange(tolerante, this)) {}

RegistroTolerante::~RegistroTolerante() { tolerante = anterior_; }

void RegistroTolerante::Conclui() {
  if (falha_) throw *std::exchange(falha_, std::nullopt);
}

void RenovaRegistro() {
  const DataHora hoje = platform::LocalNow();
  if (hoje.DiaDaSemana() != kSegundaFeira) return;
  IgnoraFalha([&] {
    const std::string caminho = CaminhoRegistro();
    if (!CriaUtilitarios()->ArquivoExiste(caminho)) return;
    if (!platform::LastModified(caminho).MesmaData(hoje)) platform::RemoveOwnFile(caminho);
  });
}

}  // namespace tarvik
