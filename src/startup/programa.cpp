// Entry point of Tarvik.exe.

#include <exception>
#include <iostream>

#include "base/erro.h"
#include "startup/modulo_atualizador.h"

int main() {
  // The generic error report: the run ends here without starting the main
  // application, and the exit status tells a calling script it failed.
  try {
    tarvik::Main();
    return 0;
  } catch (const tarvik::Erro& erro) {
    std::cerr << "Tarvik.exe: Erro em tempo de execução '" << erro.Numero()
              << "': " << erro.Descricao() << '\n';
  } catch (const std::exception& erro) {
    std::cerr << "Tarvik.exe: Erro inesperado: " << erro.what() << '\n';
  }
  return 1;
}
