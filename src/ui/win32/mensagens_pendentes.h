#ifndef TARVIK_UI_WIN32_MENSAGENS_PENDENTES_H_
#define TARVIK_UI_WIN32_MENSAGENS_PENDENTES_H_

namespace tarvik {

// Lets the window system handle every message waiting for this thread
// (repaints, clicks, a close request) and returns when none is left. A quit
// request is put back for the loop that waits for it.
void ProcessaMensagensPendentes();

}  // namespace tarvik

#endif  // TARVIK_UI_WIN32_MENSAGENS_PENDENTES_H_
