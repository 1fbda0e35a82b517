#include "platform/posix/in_use.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

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

bool IsInUse(const std::string& nativePath) {
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
