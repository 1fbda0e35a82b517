#include "aguarda_processo.h"

#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace tarvik::lote {
namespace {

// A process that has ended but was not yet reaped by its parent still
// answers kill(); its state in /proc says it is gone.
bool Existe(pid_t processo) {
  if (::kill(processo, 0) != 0 && errno == ESRCH) return false;
  std::ifstream estado("/proc/" + std::to_string(processo) + "/stat");
  std::string linha;
  if (!std::getline(estado, linha)) return false;
  const size_t parentese = linha.rfind(')');
  return parentese == std::string::npos || parentese + 2 >= linha.size() ||
         linha[parentese + 2] != 'Z';
}

}  // namespace

void AguardaFimProcesso(uint32_t processo) {
  const auto pid = static_cast<pid_t>(processo);
  // A process descriptor becomes readable when the process ends, without
  // polling; kernels older than 5.3 lack it.
  const long descritor = ::syscall(SYS_pidfd_open, pid, 0);
  if (descritor >= 0) {
    pollfd espera{static_cast<int>(descritor), POLLIN, 0};
    while (::poll(&espera, 1, -1) < 0 && errno == EINTR) {
    }
    ::close(static_cast<int>(descritor));
    return;
  }
  if (errno == ESRCH) return;
  while (Existe(pid)) std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

}  // namespace tarvik::lote
