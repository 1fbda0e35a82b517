#include "base/erro.h"
#include "descriptor/resultado.h"
#include "log/registro.h"
#include "tasks/tarefa.h"
#include "tasks/utilitarios_da_chamada.h"

namespace tarvik {

Resultado Tarefa::BaixaArquivo(UtilitariosDaChamada& utilitarios) {
  const std::string& url = Detalhe(1);
  const std::string& arquivo = Detalhe(2);
  RegistraLog("Baixando arquivo [" + url + "]", kInfo);
  // Logged before the transfer starts: the body is written as it arrives.
  RegistraLog("Gravando arquivo [" + arquivo + "]", kInfo);
  // The body streams straight into the file, so memory does not grow with
  // the file's size; the component leaves nothing on disk unless a whole 200
  // answer arrived. Obtaining the component is part of the guarded step.
  RespostaHttp resposta;
  const ResultadoPasso passo =
      PassoProtegido([&] { resposta = utilitarios->BaixaUrlParaArquivo(url, arquivo); });
  if (passo.numero != 0) {
    RegistraLog("Erro ao baixar os arquivo [" + url + "] Erro: [" + std::to_string(passo.numero) +
                    "] Mensagem [" + passo.descricao + "]",
                kErro);
    return Resultado::kFalhaInstalacao;
  }
  if (resposta.status != 200) {
    RegistraLog("Erro Http ao baixar os arquivo [" + url + "] Código HTTP: [" +
                    std::to_string(resposta.status) + "] Mensagem [" + resposta.textoStatus + "]",
                kErro);
    return Resultado::kFalhaInstalacao;
  }
  return Resultado::kSucessoInstalacao;
}

}  // namespace tarvik
