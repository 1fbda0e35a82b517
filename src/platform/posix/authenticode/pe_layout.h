#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_PE_LAYOUT_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_PE_LAYOUT_H_

#include <cstdint>
#include <optional>

#include "platform/posix/authenticode/byte_source.h"

namespace tarvik::platform {

// Where the parts of a PE image that its signature cannot cover lie: the
// checksum field, the security data directory entry and the certificate
// table it points to (offset and size as the entry states them, unchecked).
struct PeLayout {
  uint64_t checksum_offset = 0;
  uint64_t security_entry_offset = 0;
  uint32_t certificate_table_offset = 0;
  uint32_t certificate_table_size = 0;
};

// Length in bytes of the security directory entry.
inline constexpr uint64_t kSecurityEntrySize = 8;

// Reads the DOS header, the PE signature and the optional header (PE32 or
// PE32+), checking every offset against the image size. nullopt when the
// bytes are not a PE image. An image whose optional header has no security
// entry yields an empty certificate table. Raises `Erro` only when the bytes
// cannot be read.
std::optional<PeLayout> ReadPeLayout(ByteSource& image);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_PE_LAYOUT_H_
