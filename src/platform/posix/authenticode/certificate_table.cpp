#include "platform/posix/authenticode/certificate_table.h"

#include <array>

namespace tarvik::platform {
namespace {

constexpr uint64_t kEntryHeaderSize = 8;  // dwLength, wRevision, wCertificateType
constexpr uint16_t kRevision2 = 0x0200;
constexpr uint16_t kTypePkcsSignedData = 0x0002;
// Real signatures, with their chains and timestamps, stay far below this;
// the limit keeps a hostile table from claiming the memory of a whole file.
constexpr uint64_t kMaxSignedDataSize = 16 * 1024 * 1024;

}  // namespace

bool CertificateTableFits(const PeLayout& layout, uint64_t imageSize) {
  const uint64_t offset = layout.certificate_table_offset;
  const uint64_t size = layout.certificate_table_size;
  return size != 0 && offset >= layout.security_entry_offset + kSecurityEntrySize &&
         offset <= imageSize && size <= imageSize - offset;
}

std::optional<std::vector<uint8_t>> ReadSignedData(ByteSource& image, const PeLayout& layout) {
  uint64_t position = layout.certificate_table_offset;
  const uint64_t end = position + layout.certificate_table_size;
  while (end - position >= kEntryHeaderSize) {
    std::array<uint8_t, kEntryHeaderSize> header{};
    image.ReadAt(position, header);
    const uint64_t length = static_cast<uint64_t>(header[0]) | uint64_t{header[1]} << 8 |
                            uint64_t{header[2]} << 16 | uint64_t{header[3]} << 24;
    const uint16_t revision = static_cast<uint16_t>(header[4] | header[5] << 8);
    const uint16_t type = static_cast<uint16_t>(header[6] | header[7] << 8);
    if (length < kEntryHeaderSize || length > end - position) return std::nullopt;
    if (revision == kRevision2 && type == kTypePkcsSignedData) {
      if (length - kEntryHeaderSize > kMaxSignedDataSize) return std::nullopt;
      std::vector<uint8_t> signedData(length - kEntryHeaderSize);
      image.ReadAt(position + kEntryHeaderSize, signedData);
      return signedData;
    }
    // Entries start on 8-byte boundaries.
    const uint64_t step = (length + 7) & ~uint64_t{7};
    if (step > end - position) return std::nullopt;
    position += step;
  }
  return std::nullopt;
}

}  // namespace tarvik::platform
