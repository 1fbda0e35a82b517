#include "platform/posix/in_use.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "platform/posix/unique_fd.h"

namespace tarvik::platform {
namespace {

using Dir = std::unique_ptr<DIR, int (*)(DIR*)>;

Dir OpenDir(const std::string& path) { return Dir(::opendir(path.c_str()), ::closedir); }

bool IsPid(const char* name) {
  if (*name == '\0') return false;
  for (const char* c = name; *c; ++c) {
    if (*c < '0' || *c > '9') return false;
  }
  return true;
}

bool HasOpen(const std::string& processFolder, dev_t device, ino_t inode) {
  // Relative to the open folder, each stat walks one name instead of a path.
  Dir fds = OpenDir(processFolder + "/fd");
  if (!fds) return false;
  const int folder = ::dirfd(fds.get());
  while (const dirent* entry = ::readdir(fds.get())) {
    if (!IsPid(entry->d_name)) continue;
    struct stat info {};
    // stat follows the descriptor to the open file, even a renamed one.
    if (::fstatat(folder, entry->d_name, &info, 0) == 0 && info.st_dev == device &&
        info.st_ino == inode) {
      return true;
    }
  }
  return false;
}

bool HasMapped(const std::string& processFolder, dev_t device, ino_t inode) {
  std::ifstream maps(processFolder + "/maps");
  std::string line;
  while (std::getline(maps, line)) {
    // address perms offset major:minor inode path
    unsigned major = 0, minor = 0;
    unsigned long long mappedInode = 0;
    if (std::sscanf(line.c_str(), "%*s %*s %*s %x:%x %llu", &major, &minor, &mappedInode) == 3 &&
        mappedInode == inode && makedev(major, minor) == device) {
      return true;
    }
  }
  return false;
}

}  // namespace

// A scan reads every process's descriptors and maps, about a millisecond
// with a few dozen processes, for each file replaced; the lease asks the
// kernel's own count of open descriptors in a few microseconds. A refused
// lease is confirmed by the scan: kernels before 5.3 also refuse one while
// anything else holds a reference to the file (its write-back, another
// name's cache entry), and a file in use is rare enough to afford the scan.
bool IsInUse(const std::string& nativePath) {
  return InUseByLease(nativePath) != std::optional(false) && InUseByScan(nativePath);
}

std::optional<bool> InUseByLease(const std::string& nativePath) {
  struct stat target {};
  if (::stat(nativePath.c_str(), &target) != 0 || !S_ISREG(target.st_mode)) return false;
  // O_NONBLOCK: an open that would break another process's lease fails at
  // once instead of waiting for it, and that lease means the file is open.
  UniqueFd fd(::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd.Valid()) {
    if (errno == EWOULDBLOCK) return true;
    return std::nullopt;
  }
  struct stat opened {};
  if (::fstat(fd.Get(), &opened) != 0 || !S_ISREG(opened.st_mode)) return std::nullopt;
  // While the lease lasts, another process opening the file makes the kernel
  // signal this one, with SIGIO unless told otherwise, and SIGIO ends a
  // process by default. SIGURG is ignored by default, and nothing here
  // handles it.
  if (::fcntl(fd.Get(), F_SETSIG, SIGURG) != 0) return std::nullopt;
  if (::fcntl(fd.Get(), F_SETLEASE, F_WRLCK) == 0) {
    ::fcntl(fd.Get(), F_SETLEASE, F_UNLCK);
    return false;
  }
  if (errno == EAGAIN) return true;
  return std::nullopt;
}

bool InUseByScan(const std::string& nativePath) {
  struct stat target {};
  if (::stat(nativePath.c_str(), &target) != 0 || !S_ISREG(target.st_mode)) return false;
  Dir proc = OpenDir("/proc");
  if (!proc) return false;
  while (const dirent* entry = ::readdir(proc.get())) {
    if (!IsPid(entry->d_name)) continue;
    const std::string folder = std::string("/proc/") + entry->d_name;
    if (HasOpen(folder, target.st_dev, target.st_ino) ||
        HasMapped(folder, target.st_dev, target.st_ino)) {
      return true;
    }
  }
  return false;
}

}  // namespace tarvik::platform
