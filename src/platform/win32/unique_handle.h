#ifndef TARVIK_PLATFORM_WIN32_UNIQUE_HANDLE_H_
#define TARVIK_PLATFORM_WIN32_UNIQUE_HANDLE_H_

#include <windows.h>

#include <utility>

namespace tarvik::platform {

// Owns a kernel handle and closes it when it goes.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& outro) noexcept
      : handle_(std::exchange(outro.handle_, INVALID_HANDLE_VALUE)) {}
  UniqueHandle& operator=(UniqueHandle&& outro) noexcept {
    if (this != &outro) {
      Reset();
      handle_ = std::exchange(outro.handle_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE Get() const { return handle_; }
  // CreateFileW fails with INVALID_HANDLE_VALUE, CreateProcessW leaves null.
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  // Closes now and reports whether CloseHandle succeeded.
  bool Close() { return ::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0; }

 private:
  void Reset() {
    if (Valid()) ::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
  }

  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_UNIQUE_HANDLE_H_
