#include "platform/posix/authenticode/pe_layout.h"

#include <array>

namespace tarvik::platform {
namespace {

constexpr uint64_t kDosHeaderSize = 64;
constexpr uint64_t kNewHeaderPointer = 0x3C;
constexpr uint64_t kFileHeaderSize = 20;           // after the 4-byte PE signature
constexpr uint64_t kOptionalHeaderSizeField = 16;  // within the file header
constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;
constexpr uint64_t kChecksumField = 64;  // within the optional header, both forms
constexpr uint64_t kSecurityDirectoryIndex = 4;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Reads `N` bytes at `offset` when they lie within the image.
template <size_t N>
std::optional<std::array<uint8_t, N>> ReadFixed(ByteSource& image, uint64_t offset) {
  if (offset > image.Size() || image.Size() - offset < N) return std::nullopt;
  std::array<uint8_t, N> bytes{};
  image.ReadAt(offset, bytes);
  return bytes;
}

}  // namespace

std::optional<PeLayout> ReadPeLayout(ByteSource& image) {
  const auto dos = ReadFixed<kDosHeaderSize>(image, 0);
  if (!dos || (*dos)[0] != 'M' || (*dos)[1] != 'Z') return std::nullopt;

  const uint64_t peOffset = Le32(dos->data() + kNewHeaderPointer);
  const auto pe = ReadFixed<4 + kFileHeaderSize>(image, peOffset);
  if (!pe || (*pe)[0] != 'P' || (*pe)[1] != 'E' || (*pe)[2] != 0 || (*pe)[3] != 0) {
    return std::nullopt;
  }
  const uint64_t optionalSize = Le16(pe->data() + 4 + kOptionalHeaderSizeField);
  const uint64_t optionalOffset = peOffset + 4 + kFileHeaderSize;

  // The fixed fields up to the directory count, in the longer (PE32+) form.
  constexpr uint64_t kLongestFixedPart = 112;
  const auto fixed = ReadFixed<kLongestFixedPart>(image, optionalOffset);
  if (!fixed) return std::nullopt;
  const uint16_t magic = Le16(fixed->data());
  if (magic != kMagicPe32 && magic != kMagicPe32Plus) return std::nullopt;
  const uint64_t countField = magic == kMagicPe32 ? 92 : 108;
  const uint64_t directories = countField + 4;
  if (optionalSize < directories) return std::nullopt;

  PeLayout layout;
  layout.checksum_offset = optionalOffset + kChecksumField;
  layout.security_entry_offset =
      optionalOffset + directories + kSecurityDirectoryIndex * kSecurityEntrySize;

  const uint32_t directoryCount = Le32(fixed->data() + countField);
  const bool hasEntry =
      directoryCount > kSecurityDirectoryIndex &&
      optionalSize >= layout.security_entry_offset + kSecurityEntrySize - optionalOffset;
  if (!hasEntry) return layout;
  const auto entry = ReadFixed<kSecurityEntrySize>(image, layout.security_entry_offset);
  if (!entry) return std::nullopt;
  layout.certificate_table_offset = Le32(entry->data());
  layout.certificate_table_size = Le32(entry->data() + 4);
  return layout;
}

}  // namespace tarvik::platform
