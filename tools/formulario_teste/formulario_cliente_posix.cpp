// frmCliente on POSIX, a terminal form: it shows the address, lets the
// developer edit it, and consults on confirmation.

#include <iostream>
#include <string>

#include "consulta_cliente.h"

int main() {
  namespace formulario = tarvik::formulario;
  std::cout << formulario::kTitulo << "\n\nEndereço (Enter mantém):\n"
            << formulario::kEnderecoInicial << "\n> " << std::flush;
  std::string endereco;
  if (!std::getline(std::cin, endereco)) return 0;
  if (endereco.empty()) endereco = formulario::kEnderecoInicial;
  std::cout << "[" << formulario::kBotaoConsultar << "] (Enter) " << std::flush;
  std::string confirmacao;
  if (!std::getline(std::cin, confirmacao)) return 0;
  try {
    formulario::Consultar(endereco);
  } catch (const tarvik::Erro& erro) {
    std::cerr << formulario::TextoErro(erro) << '\n';
    return 1;
  }
  return 0;
}
