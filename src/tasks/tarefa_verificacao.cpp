#include <cstdio>

#include "base/erro.h"
#include "descriptor/resultado.h"
#include "log/registro.h"
#include "platform/files.h"
#include "tasks/conversao_detalhe.h"
#include "tasks/tarefa.h"
#include "tasks/textos_tarefa.h"
#include "tasks/utilitarios_da_chamada.h"

namespace tarvik {
namespace {

constexpr char kPrefixoTemporario[] = "teste";
// 49 characters and CR LF: 51 bytes on disk.
constexpr char kConteudoTeste[] = "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX\r\n";

// A signature detail code as decimal and as its 32-bit two's-complement
// hexadecimal form ("-1/FFFFFFFF").
std::string DecimalEHexadecimal(int32_t codigo) {
  char hexadecimal[9];
  std::snprintf(hexadecimal, sizeof hexadecimal, "%X", static_cast<uint32_t>(codigo));
  return std::to_string(codigo) + "/" + hexadecimal;
}

}  // namespace

Resultado Tarefa::VerificaExistencia(UtilitariosDaChamada& utilitarios) {
  ExigeDetalhes();
  Resultado resultado = Resultado::kSucessoInstalacao;
  for (const std::string& caminho : detalhes_) {
    if (!utilitarios->ArquivoExiste(caminho)) {
      RegistraLog("Caminho não existe: [" + caminho + "]", kErro);
      resultado = Resultado::kFalhaInstalacao;
    }
  }
  return resultado;
}

Resultado Tarefa::VerificaPermissaoGravacao(UtilitariosDaChamada& utilitarios) {
  ExigeDetalhes();
  for (const std::string& pasta : detalhes_) {
    // The working folders must be the installation's own: a link would
    // send the downloads and backups wherever it leads.
    if (platform::IsLink(pasta)) {
      RegistraLog(PastaELink(pasta), kErro);
      return Resultado::kFalhaInstalacao;
    }
    RegistraLog(
        "Tentando criar arquivo temporário... [" + pasta + ", " + kPrefixoTemporario + ", 0]",
        kInfo);
    const std::string nome = utilitarios->CriaArquivoTemporario(pasta, kPrefixoTemporario, 0);
    RegistraLog("Tentando gravar conteúdo no arquivo temporário [" + nome + "]", kInfo);
    platform::WriteText(nome, kConteudoTeste);
    RegistraLog("Tentando remover o arquivo temporário [" + nome + "]", kInfo);
    platform::RemoveFile(nome);
  }
  return Resultado::kSucessoInstalacao;
}

bool Tarefa::ConfereArquivo(UtilitariosDaChamada& utilitarios, const std::string& arquivo,
                            const std::string& categoria) {
  const int64_t tamanho = platform::FileLength(arquivo);
  const std::string hash = utilitarios->CalculaHash(arquivo);
  bool confere = true;
  if (tamanho != InteiroDeTexto(Detalhe(3))) {
    RegistraLog("Tamanho do arquivo [" + arquivo + "] não confere: Recebido: [" +
                    std::to_string(tamanho) + "] esperado: [" + Detalhe(3) + "]",
                categoria);
    confere = false;
  }
  if (Detalhe(2) != hash) {
    RegistraLog("Hash do arquivo [" + arquivo + "] não confere: Recebido: [" + hash +
                    "] esperado: [" + Detalhe(2) + "]",
                categoria);
    confere = false;
  }
  if (LogicoDeTexto(Detalhe(4))) {
    const Verificacao assinatura = utilitarios->VerificaAssinatura(arquivo);
    if (!assinatura.valido) {
      RegistraLog("Assinatura do arquivo [" + arquivo + "] não confere: Detalhe: [" +
                      DecimalEHexadecimal(assinatura.detalhe) + "]",
                  categoria);
      confere = false;
    }
  }
  return confere;
}

Resultado Tarefa::VerificaValidade(UtilitariosDaChamada& utilitarios) {
  return ConfereArquivo(utilitarios, Detalhe(1), kErro) ? Resultado::kSucessoInstalacao
                                                        : Resultado::kFalhaInstalacao;
}

void Tarefa::VerificaArquivoOriginal(UtilitariosDaChamada& utilitarios) {
  const std::string& arquivo = Detalhe(1);
  if (!utilitarios->ArquivoExiste(arquivo)) {
    RegistraLog(ArquivoDeveriaExistir(arquivo), kAviso);
    return;
  }
  // A changed installed file is reported, not refused.
  ConfereArquivo(utilitarios, arquivo, kAviso);
}

}  // namespace tarvik
