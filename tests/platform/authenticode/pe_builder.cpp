#include "pe_builder.h"

#include <cstring>

namespace tarvik::teste {
namespace {

constexpr uint32_t kPeOffset = 0x40;
constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kHeadersSize = 0x200;
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
  PutLe(image, file_header, plus ? 0x8664 : 0x014C, 2);  // machine
  PutLe(image, file_header + 2, 1, 2);                   // sections
  PutLe(image, file_header + 16, optional_size, 2);
  PutLe(image, file_header + 18, plus ? 0x0022 : 0x0102, 2);  // executable

  const size_t optional = file_header + 20;
  PutLe(image, optional, plus ? 0x020B : 0x010B, 2);
  PutLe(image, optional + 16, kSectionAlignment);  // entry point
  // Image base: 0x140000000 or 0x400000.
  PutLe(image, optional + (plus ? 24 : 28), plus ? 0x40000000 : 0x00400000);
  if (plus) PutLe(image, optional + 28, 1);
  PutLe(image, optional + 32, kSectionAlignment);
  PutLe(image, optional + 36, kFileAlignment);
  PutLe(image, optional + 40, 6, 2);  // operating system version
  PutLe(image, optional + 48, 6, 2);  // subsystem version
  const uint32_t virtual_size =
      (raw_size + kSectionAlignment - 1) / kSectionAlignment * kSectionAlignment;
  PutLe(image, optional + 56, kSectionAlignment + virtual_size);  // size of image
  PutLe(image, optional + 60, kHeadersSize);
  PutLe(image, optional + 68, 3, 2);  // console subsystem
  PutLe(image, optional + OptionalFieldsSize(format) - 4, kDirectoryCount);

  const size_t section = optional + optional_size;
  std::memcpy(image.data() + section, ".text", 5);
  PutLe(image, section + 8, raw_size);
  PutLe(image, section + 12, kSectionAlignment);
  PutLe(image, section + 16, raw_size);
  PutLe(image, section + 20, kHeadersSize);
  PutLe(image, section + 36, 0x60000020);  // code, readable, executable

  image[kHeadersSize] = static_cast<char>(0xC3);  // ret
  for (size_t i = kHeadersSize + 1; i < image.size(); ++i) {
    image[i] = static_cast<char>((i * 131) >> 3);
  }
  return image;
}

}  // namespace tarvik::teste
