#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "ui/janela_progresso.h"
#include "ui/linha_progresso.h"
#include "ui/mensagens_pendentes.h"

namespace tarvik {
namespace {

constexpr size_t kColunasPadrao = 80;

// A display is decoration: a write that fails is dropped.
void EscreveErroPadrao(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t escritos = ::write(STDERR_FILENO, bytes.data(), bytes.size());
    if (escritos < 0 && errno == EINTR) continue;
    if (escritos <= 0) return;
    bytes.remove_prefix(static_cast<size_t>(escritos));
  }
}

}  // namespace

std::unique_ptr<IInterfaceVisual> CriaJanelaProgresso() {
  if (!::isatty(STDERR_FILENO)) return nullptr;
  winsize tamanho{};
  const size_t colunas = ::ioctl(STDERR_FILENO, TIOCGWINSZ, &tamanho) == 0 && tamanho.ws_col > 0
                             ? tamanho.ws_col
                             : kColunasPadrao;
  return std::make_unique<LinhaProgresso>(EscreveErroPadrao, colunas);
}

void ProcessaMensagensPendentes() {}

}  // namespace tarvik
