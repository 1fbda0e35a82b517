#include "ui/janela_progresso.h"

namespace tarvik {

// This program has no progress window of its own on Windows: the check
// shows its progress through the window-less display, which logs it.
std::unique_ptr<IInterfaceVisual> CriaJanelaProgresso() { return nullptr; }

}  // namespace tarvik
