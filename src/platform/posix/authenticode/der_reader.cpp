#include "platform/posix/authenticode/der_reader.h"

namespace tarvik::platform {
namespace {

std::optional<DerElement> Parse(std::span<const uint8_t> bytes) {
  if (bytes.size() < 2) return std::nullopt;
  const uint8_t tag = bytes[0];
  if ((tag & 0x1F) == 0x1F) return std::nullopt;
  size_t header = 2;
  uint64_t length = bytes[1];
  if (length & 0x80) {
    const size_t octets = length & 0x7F;
    // Zero octets is the indefinite form; more than four is no real length.
    if (octets == 0 || octets > 4 || bytes.size() < 2 + octets) return std::nullopt;
    length = 0;
    for (size_t i = 0; i < octets; ++i) length = length << 8 | bytes[2 + i];
    header += octets;
  }
  if (length > bytes.size() - header) return std::nullopt;
  const size_t total = header + static_cast<size_t>(length);
  return DerElement{tag, bytes.first(total), bytes.subspan(header, total - header)};
}

}  // namespace

std::optional<DerElement> DerReader::Next() {
  auto element = Parse(rest_);
  if (element) rest_ = rest_.subspan(element->encoding.size());
  return element;
}

std::optional<DerElement> DerReader::Next(uint8_t tag) {
  auto element = Parse(rest_);
  if (!element || element->tag != tag) return std::nullopt;
  rest_ = rest_.subspan(element->encoding.size());
  return element;
}

}  // namespace tarvik::platform
