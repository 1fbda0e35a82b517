#include <vector>

#include "base/erro.h"
#include "base/texto.h"
#include "descriptor/resultado.h"
#include "log/registro.h"
#include "platform/files.h"
#include "tasks/tarefa.h"
#include "tasks/textos_tarefa.h"
#include "tasks/utilitarios_da_chamada.h"

namespace tarvik {
namespace {

std::string ErroNaCopia(const ResultadoPasso& passo) {
  return "Erro na cópia. detalhes [" + passo.descricao + "] [" + std::to_string(passo.numero) + "]";
}

std::string ImpossivelAcesso(const std::string& arquivo) {
  return "Impossível acesso ao arquivo [" + arquivo + "]";
}

}  // namespace

Resultado Tarefa::EfetuaCopiaSeguranca(ContextoExecucao& contexto,
                                       UtilitariosDaChamada& utilitarios) {
  const std::string& instalado = Detalhe(1);
  if (!utilitarios->ArquivoExiste(instalado)) {
    RegistraLog(
        "Arquivo não existe. Não será possível restaurar em caso de erro. [" + instalado + "]",
        kAviso);
    return Resultado::kSucessoInstalacao;
  }
  const std::string& versionada = Detalhe(2);
  if (utilitarios->ArquivoExiste(versionada) && JaInstalado(utilitarios, instalado)) {
    // The installed file is not the installed version: copying it would
    // destroy the only copy of that version.
    RegistraLog("Arquivo [" + instalado +
                    "] já tem o conteúdo desta atualização. Mantida a cópia de segurança [" +
                    versionada + "]",
                kAviso);
    return Resultado::kSucessoInstalacao;
  }
  RegistraLog("Copiando [" + instalado + "] para [" + versionada + "]", kInfo);
  Resultado resultado = Resultado::kSucessoInstalacao;
  const bool permitida =
      !utilitarios->ArquivoExiste(versionada) || RemoveSomenteLeitura(versionada);
  if (permitida) {
    const ResultadoPasso copia =
        PassoProtegido([&] { contexto.Copia(instalado, versionada, platform::InUseTest::kRun); });
    if (copia.numero > 0) {
      RegistraLog(ErroNaCopia(copia), kErro);
      resultado = Resultado::kFalhaInstalacao;
    }
  } else {
    resultado = Resultado::kFalhaInstalacao;
  }
  // The plain copy is a convenience for support staff: its outcome counts
  // for nothing.
  PassoProtegido([&] {
    contexto.Copia(instalado, Detalhe(3), platform::InUseTest::kRun,
                   platform::CopyBatch::Kind::kBestEffort);
  });
  return resultado;
}

bool Tarefa::JaInstalado(UtilitariosDaChamada& utilitarios, const std::string& instalado) const {
  if (detalhes_.Quantidade() < 4 || Detalhe(4).empty()) return false;
  std::string hash;
  // A hash that cannot be computed answers no: the backup goes on as usual.
  PassoProtegido([&] { hash = utilitarios->CalculaHash(instalado); });
  return IgualSemCaixa(hash, Detalhe(4));
}

Resultado Tarefa::CopiaArquivo(ContextoExecucao& contexto, UtilitariosDaChamada& utilitarios) {
  const std::string& origem = Detalhe(1);
  const std::string& destino = Detalhe(2);
  bool emUso = false;
  if (!utilitarios->VerificaAcessoExclusivo(destino).valido) {
    RegistraLog(ImpossivelAcesso(destino), kAviso);
    contexto.ListaArquivosEmUso()->Adiciona(CriaItemEmUso(acao_em_uso::kCopiar, origem, destino));
    emUso = true;
  }
  if (codigo_ == codigo_tarefa::kCopiarNovoArquivo) {
    if (utilitarios->ArquivoExiste(destino))
      RegistraLog("Arquivo não deveria existir [" + destino + "]", kAviso);
  } else if (!utilitarios->ArquivoExiste(destino)) {
    RegistraLog(ArquivoDeveriaExistir(destino), kAviso);
  }
  const bool permitida = !utilitarios->ArquivoExiste(destino) || RemoveSomenteLeitura(destino);
  if (!permitida) return Resultado::kFalhaInstalacao;
  // A destination just found free is not tested again; one found in use is,
  // so that the copy fails as it does on Windows, unless it was let go.
  const ResultadoPasso copia = PassoProtegido([&] {
    contexto.Copia(origem, destino, emUso ? platform::InUseTest::kRun : platform::InUseTest::kSkip);
  });
  if (copia.numero >= 1) {
    RegistraLog(ErroNaCopia(copia) + " origem [" + origem + "] destino [" + destino + "]", kErro);
    return emUso ? Resultado::kArquivosEmUsoReiniciar : Resultado::kFalhaInstalacao;
  }
  return Resultado::kSucessoInstalacao;
}

Resultado Tarefa::RemoveArquivo(ContextoExecucao& contexto, UtilitariosDaChamada& utilitarios) {
  const std::string& arquivo = Detalhe(1);
  RegistraLog("Removendo o arquivo [" + arquivo + "]", kInfo);
  if (!utilitarios->ArquivoExiste(arquivo)) {
    RegistraLog(ArquivoDeveriaExistir(arquivo), kAviso);
    return Resultado::kSucessoInstalacao;
  }
  bool emUso = false;
  if (!utilitarios->VerificaAcessoExclusivo(arquivo).valido) {
    RegistraLog(ImpossivelAcesso(arquivo), kAviso);
    contexto.ListaArquivosEmUso()->Adiciona(CriaItemEmUso(acao_em_uso::kRemover, arquivo, {}));
    emUso = true;
  }
  // The delete is attempted whatever the attribute's fate; its error tells.
  if (utilitarios->ArquivoExiste(arquivo)) RemoveSomenteLeitura(arquivo);
  const ResultadoPasso remocao = PassoProtegido([&] { platform::RemoveFile(arquivo); });
  if (remocao.numero > 0) {
    RegistraLog("Erro ao remover o arquivo. detalhes [" + remocao.descricao + "] [" +
                    std::to_string(remocao.numero) + "]",
                kErro);
    return emUso ? Resultado::kArquivosEmUsoReiniciar : Resultado::kFalhaInstalacao;
  }
  return Resultado::kSucessoInstalacao;
}

Resultado Tarefa::RemovePasta(UtilitariosDaChamada& utilitarios) {
  const std::string& pasta = Detalhe(1);
  if (!utilitarios->ArquivoExiste(pasta)) {
    RegistraLog("Pasta deveria existir [" + pasta + "]", kInfo);
    return Resultado::kSucessoInstalacao;
  }
  const ResultadoPasso remocao = PassoProtegido([&] { platform::RemoveFolder(pasta); });
  if (remocao.numero >= 1) {
    RegistraLog("Erro ao remover a pasta. Detalhes [" + remocao.descricao + "] [" +
                    std::to_string(remocao.numero) + "]",
                kErro);
    return Resultado::kFalhaInstalacao;
  }
  return Resultado::kSucessoInstalacao;
}

Resultado Tarefa::CriaPastas(UtilitariosDaChamada& utilitarios) {
  ExigeDetalhes();
  for (const std::string& detalhe : detalhes_) {
    std::string caminho(RemoveEspacos(detalhe));
    if (utilitarios->ArquivoExiste(caminho)) continue;
    while (!caminho.empty() && caminho.back() == '\\') caminho.pop_back();
    // Every level is created in turn, from the root down; each prefix ends
    // with a backslash.
    std::string prefixo;
    size_t inicio = 0;
    for (;;) {
      const size_t barra = caminho.find('\\', inicio);
      prefixo +=
          caminho.substr(inicio, barra == std::string::npos ? std::string::npos : barra - inicio) +
          "\\";
      if (!utilitarios->ArquivoExiste(prefixo)) {
        // A link that leads nowhere looks missing; creating the folder would
        // go wherever it points, or fail without telling why.
        if (platform::IsLink(prefixo)) {
          RegistraLog(PastaELink(prefixo), kErro);
          return Resultado::kFalhaInstalacao;
        }
        RegistraLog("Criando pasta: [" + prefixo + "]", kInfo);
        platform::CreateFolder(prefixo);
      }
      if (barra == std::string::npos) break;
      inicio = barra + 1;
    }
  }
  return Resultado::kSucessoInstalacao;
}

void Tarefa::ExibeMensagem() {
  for (const std::string& detalhe : detalhes_) RegistraLog(detalhe, kInfo);
}

}  // namespace tarvik
