#include "base/erro.h"
#include "descriptor/resultado.h"
#include "log/registro.h"
#include "tasks/conversao_detalhe.h"
#include "tasks/tarefa.h"
#include "tasks/utilitarios_da_chamada.h"

namespace tarvik {
namespace {

// The most bytes of a file worth receiving: one beyond its declared size is
// enough for the size check to refuse it, so a server that never ends the
// body cannot fill the disk. A size that is not a number of bytes limits
// nothing.
int64_t LimiteDoTamanho(const Colecao<std::string>& detalhes) {
  if (detalhes.Quantidade() < 3) return kSemLimite;
  int32_t tamanho = -1;
  IgnoraFalha([&] { tamanho = InteiroDeTexto(detalhes.Item(3)); });
  return tamanho < 0 ? kSemLimite : int64_t{tamanho} + 1;
}

}  // namespace

Resultado Tarefa::BaixaArquivo(UtilitariosDaChamada& utilitarios) {
  const std::string& url = Detalhe(1);
  const std::string& arquivo = Detalhe(2);
  const int64_t limite = LimiteDoTamanho(detalhes_);
  RegistraLog("Baixando arquivo [" + url + "]", kInfo);
  // Logged before the transfer starts: the body is written as it arrives.
  RegistraLog("Gravando arquivo [" + arquivo + "]", kInfo);
  // The body streams straight into the file, so memory does not grow with
  // the file's size; the component leaves nothing on disk unless a whole 200
  // answer, or its first `limite` bytes, arrived. Obtaining the component is
  // part of the guarded step.
  RespostaHttp resposta;
  const ResultadoPasso passo =
      PassoProtegido([&] { resposta = utilitarios->BaixaUrlParaArquivo(url, arquivo, limite); });
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
