#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "base/erro.h"
#include "platform/files.h"
#include "platform/own_files.h"
#include "platform/posix/posix_error.h"
#include "platform/posix/unique_fd.h"

namespace tarvik::platform {
namespace {

constexpr const char* kSiblingMarks[] = {".tarvik-", ".parcial-"};

UniqueFd Open(const std::string& native, int flags, const char* operation) {
  UniqueFd fd(::open(native.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd.Valid()) {
    throw errno == ELOOP ? ErroPadrao(codigo_erro::kErroAcessoCaminho, operation, native)
                         : ErroDeErrno(errno, operation, native);
  }
  return fd;
}

void WriteFlushed(const std::string& native, std::string_view bytes, int flags,
                  const char* operation) {
  UniqueFd fd = Open(native, O_WRONLY | flags, operation);
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd.Get(), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw ErroDeErrno(errno, operation, native);
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  if (::fsync(fd.Get()) != 0 || !fd.Close()) throw ErroDeErrno(errno, operation, native);
}

}  // namespace

void WriteOwnFile(std::string_view path, std::string_view bytes) {
  // A new file, so that its owner and mode are this program's even where
  // another user had left a file of that name.
  const std::string native = NativePath(path);
  if (::unlink(native.c_str()) != 0 && errno != ENOENT) {
    throw ErroDeErrno(errno, "WriteOwnFile", native);
  }
  WriteFlushed(native, bytes, O_CREAT | O_EXCL, "WriteOwnFile");
}

void AppendOwnFile(std::string_view path, std::string_view bytes) {
  WriteFlushed(NativePath(path), bytes, O_APPEND, "AppendOwnFile");
}

std::string ReadOwnFile(std::string_view path) {
  const std::string native = NativePath(path);
  UniqueFd fd = Open(native, O_RDONLY | O_NONBLOCK, "ReadOwnFile");
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) throw ErroDeErrno(errno, "ReadOwnFile", native);
  if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 022) != 0) {
    throw ErroPadrao(codigo_erro::kPermissaoNegada, "ReadOwnFile", native);
  }
  return ReadBytes(native);
}

bool OwnFileExists(std::string_view path) {
  std::string native(path);
  std::replace(native.begin(), native.end(), '\\', '/');
  struct stat info {};
  return !native.empty() && ::stat(native.c_str(), &info) == 0;
}

void RemoveOwnFile(std::string_view path) {
  const std::string native = NativePath(path);
  struct stat info {};
  if (::lstat(native.c_str(), &info) != 0) throw ErroDeErrno(errno, "DeleteFile", native);
  if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
    throw ErroPadrao(codigo_erro::kErroAcessoCaminho, "DeleteFile", native);
  }
  // Windows refuses to delete a read-only file; root on POSIX would not.
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    throw ErroPadrao(codigo_erro::kPermissaoNegada, "DeleteFile", native);
  }
  if (::unlink(native.c_str()) != 0) throw ErroDeErrno(errno, "DeleteFile", native);
}

std::vector<std::string> RemoveWorkingSiblings(std::string_view path) {
  const std::string native = NativePath(path);
  const size_t barra = native.rfind('/');
  const std::string folder = barra == std::string::npos ? "." : native.substr(0, barra + 1);
  const std::string name = native.substr(barra == std::string::npos ? 0 : barra + 1);
  std::vector<std::string> removed;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return removed;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view entryName = entry->d_name;
    if (!entryName.starts_with(name)) continue;
    const std::string_view rest = entryName.substr(name.size());
    for (const char* mark : kSiblingMarks) {
      if (rest.starts_with(mark) && rest.size() > std::string_view(mark).size() &&
          ::unlinkat(::dirfd(dir.get()), entry->d_name, 0) == 0) {
        removed.push_back(folder + std::string(entryName));
      }
    }
  }
  return removed;
}

}  // namespace tarvik::platform
