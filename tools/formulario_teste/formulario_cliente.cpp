// frmCliente: the developer's test form. Fires one updater check against a
// test server with sample values. On POSIX it is a terminal form: it shows
// the address, lets the developer edit it, and consults on confirmation.

#include <iostream>
#include <string>

#include "base/erro.h"
#include "platform/process.h"
#include "platform/utilitarios.h"
#include "server/processamento.h"

namespace tarvik {
namespace {

constexpr char kTitulo[] = "Form1";
constexpr char kEnderecoInicial[] =
    "http://127.0.0.1:8080/ConsultaAtualizador/VerificaAtualizacao.aspx?versaoAplicativo=1.0&"
    "atualizador=on";
constexpr char kBotaoConsultar[] = "&Consultar";
// The project file that marks a run from the source folder.
constexpr char kArquivoProjeto[] = "\\Mervanto.vbp";
constexpr char kContaExemplo[] = "12345-6";
constexpr char kCnpjExemplo[] = "11222333000181";

void Consultar(const std::string& endereco) {
  std::string pastaBase = platform::ProgramFolder();
  if (CriaUtilitarios()->ArquivoExiste(pastaBase + kArquivoProjeto)) pastaBase += "\\base";
  std::string idInstalacao = "12345";
  Processamento processamento;
  processamento.ProcessaAtualizacaoAtualizador("1.0", pastaBase, endereco, idInstalacao, true,
                                               kContaExemplo, kCnpjExemplo);
}

}  // namespace
}  // namespace tarvik

int main() {
  std::cout << tarvik::kTitulo << "\n\nEndereço (Enter mantém):\n"
            << tarvik::kEnderecoInicial << "\n> " << std::flush;
  std::string endereco;
  if (!std::getline(std::cin, endereco)) return 0;
  if (endereco.empty()) endereco = tarvik::kEnderecoInicial;
  std::cout << "[" << tarvik::kBotaoConsultar << "] (Enter) " << std::flush;
  std::string confirmacao;
  if (!std::getline(std::cin, confirmacao)) return 0;
  try {
    tarvik::Consultar(endereco);
  } catch (const tarvik::Erro& erro) {
    std::cerr << "Erro em tempo de execução '" << erro.Numero() << "': " << erro.Descricao()
              << '\n';
    return 1;
  }
  return 0;
}
