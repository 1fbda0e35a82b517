#include "ui/janela_progresso.h"
#include "ui/win32/frm_progresso.h"

namespace tarvik {

std::unique_ptr<IInterfaceVisual> CriaJanelaProgresso() { return FrmProgresso::Cria(); }

}  // namespace tarvik
