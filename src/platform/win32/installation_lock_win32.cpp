#include <windows.h>

#include "base/erro.h"
#include "platform/installation_lock.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_error.h"

namespace tarvik::platform {
namespace {

constexpr char kOrigem[] = "InstallationLock";

HANDLE Handle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Locks the first byte; the file itself stays empty.
bool Lock(intptr_t handle, DWORD flags) {
  OVERLAPPED inicio{};
  return ::LockFileEx(Handle(handle), LOCKFILE_EXCLUSIVE_LOCK | flags, 0, 1, 0, &inicio) != 0;
}

}  // namespace

InstallationLock::InstallationLock(const std::string& path) : path_(path) {
  // Not inheritable (no security attributes): the application the updater
  // starts does not keep the lock.
  const HANDLE file =
      ::CreateFileW(ToWide(path_).c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw ErroDeWin32EmArquivo(::GetLastError(), kOrigem, path_);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    ::CloseHandle(file);
    throw ErroPadrao(codigo_erro::kErroAcessoCaminho, kOrigem, path_);
  }
  handle_ = reinterpret_cast<intptr_t>(file);
}

InstallationLock::~InstallationLock() { ::CloseHandle(Handle(handle_)); }

bool InstallationLock::TryAcquire() {
  if (Lock(handle_, LOCKFILE_FAIL_IMMEDIATELY)) return true;
  const DWORD erro = ::GetLastError();
  if (erro == ERROR_LOCK_VIOLATION || erro == ERROR_IO_PENDING) return false;
  throw ErroDeWin32(erro, kOrigem, path_);
}

void InstallationLock::Acquire() {
  if (!Lock(handle_, 0)) throw ErroDeWin32(::GetLastError(), kOrigem, path_);
}

}  // namespace tarvik::platform
