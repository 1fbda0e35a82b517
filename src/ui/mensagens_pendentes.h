#ifndef TARVIK_UI_MENSAGENS_PENDENTES_H_
#define TARVIK_UI_MENSAGENS_PENDENTES_H_

namespace tarvik {

// Lets the window system handle every message waiting for this thread
// (repaints, clicks, a close request) and returns when none is left. A quit
// request is put back for the loop that waits for it. Nothing to do on
// POSIX, where the progress display is a terminal line.
void ProcessaMensagensPendentes();

}  // namespace tarvik

#endif  // TARVIK_UI_MENSAGENS_PENDENTES_H_
