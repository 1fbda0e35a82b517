#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/erro.h"
#include "platform/files.h"
#include "platform/installation_lock.h"
#include "platform/posix/posix_error.h"

namespace tarvik::platform {
namespace {

constexpr char kOrigem[] = "InstallationLock";

int Fd(intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

InstallationLock::InstallationLock(const std::string& path) : path_(NativePath(path)) {
  // O_NONBLOCK: a FIFO planted at the name must not hang the open.
  const int fd =
      ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd < 0) {
    throw errno == ELOOP ? ErroPadrao(codigo_erro::kErroAcessoCaminho, kOrigem, path_)
                         : ErroDeErrno(errno, kOrigem, path_);
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    throw ErroPadrao(codigo_erro::kErroAcessoCaminho, kOrigem, path_);
  }
  handle_ = fd;
}

InstallationLock::~InstallationLock() { ::close(Fd(handle_)); }

bool InstallationLock::TryAcquire() {
  while (::flock(Fd(handle_), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) return false;
    if (errno != EINTR) throw ErroDeErrno(errno, kOrigem, path_);
  }
  return true;
}

void InstallationLock::Acquire() {
  while (::flock(Fd(handle_), LOCK_EX) != 0) {
    if (errno != EINTR) throw ErroDeErrno(errno, kOrigem, path_);
  }
}

}  // namespace tarvik::platform
