#ifndef TARVIK_STARTUP_APLICATIVO_H_
#define TARVIK_STARTUP_APLICATIVO_H_

namespace tarvik {

// Starts the main application "pelirana.exe" from the program's folder
// without waiting. When it is missing, shows the critical notice "Não foi
// possível encontrar o programa TARVIK" and starts nothing. A failure of the
// start itself raises `Erro`.
void ExecutaAplicativo();

// Starts the restart batch "atualiza.bat" by its bare name without waiting;
// it is found in the program's folder, else the current folder. A failure
// raises `Erro`.
void ExecutaLoteReinicio();

}  // namespace tarvik

#endif  // TARVIK_STARTUP_APLICATIVO_H_
