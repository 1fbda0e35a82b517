#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_FILE_BYTE_SOURCE_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_FILE_BYTE_SOURCE_H_

#include <string>

#include "platform/posix/authenticode/byte_source.h"
#include "platform/posix/unique_fd.h"

namespace tarvik::platform {

// A regular file opened for reading. Its length is taken once, at opening.
class FileByteSource : public ByteSource {
 public:
  // Opens the file at the native path `path`. Raises `Erro` with the classic
  // numbers (53, 76, 70, ...) when it cannot be opened, and 75 when it is not
  // a regular file.
  explicit FileByteSource(std::string path);

  uint64_t Size() const override { return size_; }

  // Raises `Erro` 57 when the file ends before the range does (it shrank
  // after opening) and the errno's number when reading fails.
  void ReadAt(uint64_t offset, std::span<uint8_t> out) override;

 private:
  std::string path_;
  UniqueFd fd_;
  uint64_t size_ = 0;
};

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_FILE_BYTE_SOURCE_H_
