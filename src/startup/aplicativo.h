#ifndef TARVIK_STARTUP_APLICATIVO_H_
#define TARVIK_STARTUP_APLICATIVO_H_

namespace tarvik {

// Starts the main application "pelirana.exe" from the program's folder
// without waiting. When it is missing, shows the critical notice "Não foi
// possível encontrar o programa TARVIK" and starts nothing. A failure of the
// start itself raises `Erro`.
void ExecutaAplicativo();

}  // namespace tarvik

#endif  // TARVIK_STARTUP_APLICATIVO_H_
