#include "pe_builder.h"

#include <cstring>

namespace tarvik::teste {
namespace {

constexpr uint32_t kPeOffset = 0x40;
// The headers take one unit of file alignment.
constexpr uint32_t kFileAlignment = 0x200, kHeadersSize = kFileAlignment;
constexpr uint32_t kDirectoryCount = 16;

// The optional header's fields before the data directories.
uint32_t OptionalFieldsSize(PeFormat format) { return format == PeFormat::kPe32 ? 96 : 112; }

}  // namespace

void PutLe(std::string& image, size_t at, uint32_t value, size_t size) {
  for (size_t i = 0; i < size; ++i) image[at + i] = static_cast<char>(value >> (8 * i));
}

uint32_t SecurityEntryOffset(PeFormat format) {
  return kPeOffset + 24 + OptionalFieldsSize(format) + 4 * 8;
}

std::string BuildPeImage(PeFormat format, size_t code_size) {
  const bool plus = format == PeFormat::kPe32Plus;
  const uint32_t raw_size =
      static_cast<uint32_t>((code_size + kFileAlignment - 1) / kFileAlignment * kFileAlignment);
  std::string image(kHeadersSize + raw_size, '\0');
  std::memcpy(image.data(), "MZ", 2);
  PutLe(image, 0x3C, kPeOffset);
  std::memcpy(image.data() + kPeOffset, "PE\0\0", 4);

  const size_t file_header = kPeOffset + 4;
  const uint32_t optional_size = OptionalFieldsSize(format) + kDirectoryCount * 8;
  PutLe(image, file_header + 2, 1, 2);  // sections
  PutLe(image, file_header + 16, optional_size, 2);

  const size_t optional = file_header + 20;
  PutLe(image, optional, plus ? 0x020B : 0x010B, 2);
  PutLe(image, optional + 60, kHeadersSize);
  PutLe(image, optional + OptionalFieldsSize(format) - 4, kDirectoryCount);

  const size_t section = optional + optional_size;
  PutLe(image, section + 16, raw_size);
  PutLe(image, section + 20, kHeadersSize);

  for (size_t i = kHeadersSize; i < image.size(); ++i) {
    image[i] = static_cast<char>((i * 131) >> 3);
  }
  return image;
}

}  // namespace tarvik::teste
