#include "ui/mensagens_pendentes.h"

#include <windows.h>

namespace tarvik {

void ProcessaMensagensPendentes() {
  MSG mensagem;
  while (::PeekMessageW(&mensagem, nullptr, 0, 0, PM_REMOVE)) {
    if (mensagem.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(mensagem.wParam));
      return;
    }
    ::TranslateMessage(&mensagem);
    ::DispatchMessageW(&mensagem);
  }
}

}  // namespace tarvik
