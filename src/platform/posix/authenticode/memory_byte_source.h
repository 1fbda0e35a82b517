#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_MEMORY_BYTE_SOURCE_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_MEMORY_BYTE_SOURCE_H_

#include <cstring>
#include <stdexcept>

#include "platform/posix/authenticode/byte_source.h"

namespace tarvik::platform {

// Bytes already in memory; the caller keeps them alive.
class MemoryByteSource : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  uint64_t Size() const override { return bytes_.size(); }

  void ReadAt(uint64_t offset, std::span<uint8_t> out) override {
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset) {
      throw std::out_of_range("read beyond the end of the image");
    }
    if (!out.empty()) std::memcpy(out.data(), bytes_.data() + offset, out.size());
  }

 private:
  std::span<const uint8_t> bytes_;
};

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_MEMORY_BYTE_SOURCE_H_
