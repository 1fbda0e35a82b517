#ifndef TARVIK_STARTUP_MODULO_ATUALIZADOR_H_
#define TARVIK_STARTUP_MODULO_ATUALIZADOR_H_

namespace tarvik {

// The updater's own version, reported to the server and compared with the
// restart argument.
inline constexpr char kVersaoAtualizador[] = "4.00";

// One run of the updater, from the log rotation to the hand-off to the main
// application. Catches nothing: an `Erro` that leaves it ends the process
// without starting the application.
void Main();

}  // namespace tarvik

#endif  // TARVIK_STARTUP_MODULO_ATUALIZADOR_H_
