#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_SPC_INDIRECT_DATA_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_SPC_INDIRECT_DATA_H_

#include <cstdint>
#include <optional>
#include <span>

namespace tarvik::platform {

// What an Authenticode signature says about the image it signs: the kind of
// object, and the digest algorithm and value of its image. The spans point
// into the parsed bytes.
struct SpcIndirectData {
  std::span<const uint8_t> content;           // the encoding without its tag and length
  std::span<const uint8_t> data_type;         // object identifier, content octets
  std::span<const uint8_t> digest_algorithm;  // object identifier, whole encoding
  std::span<const uint8_t> digest;
};

// Content octets of the object identifier of a PE image (SPC_PE_IMAGE_DATAOBJ,
// 1.3.6.1.4.1.311.2.1.15).
inline constexpr uint8_t kPeImageDataType[] = {0x2B, 0x06, 0x01, 0x04, 0x01,
                                               0x82, 0x37, 0x02, 0x01, 0x0F};

// Parses the DER encoding of an SpcIndirectDataContent. nullopt when it is
// malformed or followed by other bytes.
std::optional<SpcIndirectData> ParseSpcIndirectData(std::span<const uint8_t> der);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_SPC_INDIRECT_DATA_H_
