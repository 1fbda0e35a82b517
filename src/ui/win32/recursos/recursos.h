// Identifiers of the resources of the programs that show the progress
// window. Read by the resource compiler as well as by C++: only #defines.
#ifndef TARVIK_UI_WIN32_RECURSOS_RECURSOS_H_
#define TARVIK_UI_WIN32_RECURSOS_RECURSOS_H_

// The program's icon, also the progress window's (32 x 32, 16 colours).
#define TARVIK_ICONE 1
// The progress window's background picture (755 x 538, 24 bits per pixel).
#define TARVIK_FUNDO_PROGRESSO 102

#endif  // TARVIK_UI_WIN32_RECURSOS_RECURSOS_H_
