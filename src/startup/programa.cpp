// Entry point of Tarvik.exe.

#include <exception>
#include <string>

#include "base/erro.h"
#include "platform/notice.h"
#include "startup/modulo_atualizador.h"

int main() {
  // The generic error report: the run ends here without starting the main
  // application, and the exit status tells a calling script it failed.
  constexpr char kPrograma[] = "Tarvik.exe";
  try {
    tarvik::Main();
    return 0;
  } catch (const tarvik::Erro& erro) {
    tarvik::platform::ReportFatalError(
        kPrograma,
        "Erro em tempo de execução '" + std::to_string(erro.Numero()) + "': " + erro.Descricao());
  } catch (const std::exception& erro) {
    tarvik::platform::ReportFatalError(kPrograma, std::string("Erro inesperado: ") + erro.what());
  }
  return 1;
}
