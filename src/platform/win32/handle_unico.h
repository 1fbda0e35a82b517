#ifndef TARVIK_PLATFORM_WIN32_HANDLE_UNICO_H_
#define TARVIK_PLATFORM_WIN32_HANDLE_UNICO_H_

#include <windows.h>

#include <memory>

namespace tarvik::platform {

struct FechaHandle {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};

// A kernel handle closed on destruction; empty when the call that gave it
// failed.
using HandleUnico = std::unique_ptr<void, FechaHandle>;

// CreateFileW's answer as a `HandleUnico`: its failure value is not null.
inline HandleUnico DeCreateFile(HANDLE handle) {
  return HandleUnico(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_HANDLE_UNICO_H_
