#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_DER_READER_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_DER_READER_H_

#include <cstdint>
#include <optional>
#include <span>

namespace tarvik::platform {

// One DER element: its tag byte, its whole encoding and its content octets.
struct DerElement {
  uint8_t tag = 0;
  std::span<const uint8_t> encoding;
  std::span<const uint8_t> content;
};

// DER tags the signature structures use.
namespace der_tag {
inline constexpr uint8_t kOctetString = 0x04;
inline constexpr uint8_t kObjectIdentifier = 0x06;
inline constexpr uint8_t kSequence = 0x30;
}  // namespace der_tag

// Reads DER elements one after another from a byte range it does not own.
// Only single-byte tags and definite lengths exist in DER; anything else is
// malformed.
class DerReader {
 public:
  explicit DerReader(std::span<const uint8_t> bytes) : rest_(bytes) {}

  // The next element, consumed. nullopt when the bytes left do not start
  // with a well-formed element.
  std::optional<DerElement> Next();

  // The next element when it is well formed and carries `tag`; otherwise
  // nullopt, and nothing is consumed.
  std::optional<DerElement> Next(uint8_t tag);

  bool AtEnd() const { return rest_.empty(); }

 private:
  std::span<const uint8_t> rest_;
};

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_DER_READER_H_
