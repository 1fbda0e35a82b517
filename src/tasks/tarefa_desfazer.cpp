#include "base/erro.h"
#include "log/registro.h"
#include "platform/files.h"
#include "tasks/tarefa.h"
#include "tasks/utilitarios_da_chamada.h"

namespace tarvik {
namespace {

std::string Falha(const ResultadoPasso& passo) {
  return passo.descricao + "] [" + std::to_string(passo.numero) + "]";
}

}  // namespace

void Tarefa::Desfazer() {
  RegistraLog("Desfazendo tarefa: [" + NomeTarefa() + "]", kInfo);
  UtilitariosDaChamada utilitarios;
  if (codigo_ == codigo_tarefa::kBaixarArquivo) {
    DesfazBaixarArquivo(utilitarios);
  } else if (codigo_ == codigo_tarefa::kEfetuarCopiaSeguranca) {
    DesfazCopiaSeguranca();
  }
}

void Tarefa::DesfazBaixarArquivo(UtilitariosDaChamada& utilitarios) {
  const std::string& arquivo = Detalhe(2);
  if (utilitarios->ArquivoExiste(arquivo)) RemoveSomenteLeitura(arquivo);
  // Attempted even when the download wrote nothing: the warning then says so.
  const ResultadoPasso remocao = PassoProtegido([&] { platform::RemoveFile(arquivo); });
  if (remocao.numero >= 1) {
    RegistraLog(
        "Erro ao desfazer BaixarArquivo. Detalhes [" + Falha(remocao) + ", dados [" + arquivo + "]",
        kAviso);
  }
}

void Tarefa::DesfazCopiaSeguranca() {
  const std::string& instalado = Detalhe(1);
  const std::string& versionada = Detalhe(2);
  RemoveSomenteLeitura(instalado);
  RemoveSomenteLeitura(versionada);
  const ResultadoPasso copia =
      PassoProtegido([&] { platform::CopyFileReplacing(versionada, instalado); });
  if (copia.numero > 0) {
    // The versioned backup stays: it is the only good copy left.
    RegistraLog("Erro ao desfazer EfetuarCopiaSeguranca(FileCopy) . detalhes [" + Falha(copia) +
                    ", de [" + versionada + "] para [" + instalado + "]",
                kAviso);
    return;
  }
  const ResultadoPasso remocao = PassoProtegido([&] { platform::RemoveFile(versionada); });
  if (remocao.numero >= 1) {
    RegistraLog("Erro ao desfazer EfetuarCopiaSeguranca(Kill) . detalhes [" + Falha(remocao) +
                    ", dados [" + versionada + "]",
                kAviso);
  }
}

}  // namespace tarvik
