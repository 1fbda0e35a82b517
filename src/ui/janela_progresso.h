#ifndef TARVIK_UI_JANELA_PROGRESSO_H_
#define TARVIK_UI_JANELA_PROGRESSO_H_

#include <memory>

#include "ui/interface_visual.h"

namespace tarvik {

// The progress display that shows itself: on Windows the progress window
// frmProgresso; on POSIX the title and message on one line of standard
// error that updates in place, when standard error is a terminal. Null when
// this process cannot show it (then the caller uses InterfaceDebug). Never
// fails.
std::unique_ptr<IInterfaceVisual> CriaJanelaProgresso();

}  // namespace tarvik

#endif  // TARVIK_UI_JANELA_PROGRESSO_H_
