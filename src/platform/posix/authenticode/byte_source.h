#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_BYTE_SOURCE_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_BYTE_SOURCE_H_

#include <cstdint>
#include <span>

namespace tarvik::platform {

// Random access to the bytes of the image being verified, so that the parser
// runs the same over a file and over memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // Length in bytes.
  virtual uint64_t Size() const = 0;

  // Fills `out` with the bytes at `offset`. Callers keep the range within
  // `Size()`; a range beyond it is a fault (std::out_of_range). Raises `Erro`
  // when the bytes cannot be read.
  virtual void ReadAt(uint64_t offset, std::span<uint8_t> out) = 0;
};

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_BYTE_SOURCE_H_
