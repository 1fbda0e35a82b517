#include "consulta_cliente.h"

#include "platform/process.h"
#include "platform/utilitarios.h"
#include "server/processamento.h"

namespace tarvik::formulario {
namespace {

// The project file that marks a run from the source folder.
constexpr char kArquivoProjeto[] = "\\Mervanto.vbp";
constexpr char kContaExemplo[] = "12345-6";
constexpr char kCnpjExemplo[] = "11222333000181";

}  // namespace

void Consultar(const std::string& endereco) {
  std::string pastaBase = platform::ProgramFolder();
  if (CriaUtilitarios()->ArquivoExiste(pastaBase + kArquivoProjeto)) pastaBase += "\\base";
  std::string idInstalacao = "12345";
  Processamento processamento;
  processamento.ProcessaAtualizacaoAtualizador("1.0", pastaBase, endereco, idInstalacao, true,
                                               kContaExemplo, kCnpjExemplo);
}

std::string TextoErro(const Erro& erro) {
  return "Erro em tempo de execução '" + std::to_string(erro.Numero()) + "': " + erro.Descricao();
}

}  // namespace tarvik::formulario
