#ifndef TARVIK_PLATFORM_POSIX_UNIQUE_FD_H_
#define TARVIK_PLATFORM_POSIX_UNIQUE_FD_H_

#include <unistd.h>

#include <utility>

namespace tarvik::platform {

// Owns a file descriptor and closes it when it goes.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& outro) noexcept : fd_(std::exchange(outro.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& outro) noexcept {
    if (this != &outro) {
      Reset();
      fd_ = std::exchange(outro.fd_, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Closes now and reports whether close succeeded (a failed close can mean
  // lost data on some file systems).
  bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  void Reset() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  }

  int fd_ = -1;
};

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_UNIQUE_FD_H_
