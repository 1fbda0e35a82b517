#include "pe_builder.h"

#include <cstring>

namespace tarvik::teste {
namespace {

constexpr uint32_t kPeOffset = 0x40;
constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kHeadersSize = 0x200;
constexpr uint32_t kDirectoryCount = 16;

void Put16(std::string& image, size_t offset, uint16_t value) {
  image[offset] = static_cast<char>(value & 0xFF);
  image[offset + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& image, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t OptionalHeaderSize(PeFormat format) {
  return (format == PeFormat::kPe32 ? 96 : 112) + kDirectoryCount * 8;
}

}  // namespace

uint32_t SecurityEntryOffset(PeFormat format) {
  return kPeOffset + 24 + (format == PeFormat::kPe32 ? 96 : 112) + 4 * 8;
}

std::string BuildPeImage(PeFormat format, size_t code_size) {
  const bool plus = format == PeFormat::kPe32Plus;
  const uint32_t raw_size =
      static_cast<uint32_t>((code_size + kFileAlignment - 1) / kFileAlignment * kFileAlignment);
  std::string image(kHeadersSize + raw_size, '\0');

  image[0] = 'M';
  image[1] = 'Z';
  Put32(image, 0x3C, kPeOffset);
  std::memcpy(image.data() + kPeOffset, "PE\0\0", 4);

  const size_t file_header = kPeOffset + 4;
  Put16(image, file_header, plus ? 0x8664 : 0x014C);  // machine
  Put16(image, file_header + 2, 1);                   // sections
  Put16(image, file_header + 16, static_cast<uint16_t>(OptionalHeaderSize(format)));
  Put16(image, file_header + 18, plus ? 0x0022 : 0x0102);  // executable

  const size_t optional = file_header + 20;
  Put16(image, optional, plus ? 0x020B : 0x010B);
  Put32(image, optional + 16, kSectionAlignment);  // entry point
  if (plus) {
    Put32(image, optional + 24, 0x40000000);  // image base, low half
    Put32(image, optional + 28, 0x00000001);
  } else {
    Put32(image, optional + 28, 0x00400000);
  }
  Put32(image, optional + 32, kSectionAlignment);
  Put32(image, optional + 36, kFileAlignment);
  Put16(image, optional + 40, 6);  // operating system version
  Put16(image, optional + 48, 6);  // subsystem version
  const uint32_t virtual_size =
      (raw_size + kSectionAlignment - 1) / kSectionAlignment * kSectionAlignment;
  Put32(image, optional + 56, kSectionAlignment + virtual_size);  // size of image
  Put32(image, optional + 60, kHeadersSize);
  Put16(image, optional + 68, 3);  // console subsystem
  Put32(image, optional + (plus ? 108 : 92), kDirectoryCount);

  const size_t section = optional + OptionalHeaderSize(format);
  std::memcpy(image.data() + section, ".text", 5);
  Put32(image, section + 8, raw_size);
  Put32(image, section + 12, kSectionAlignment);
  Put32(image, section + 16, raw_size);
  Put32(image, section + 20, kHeadersSize);
  Put32(image, section + 36, 0x60000020);  // code, readable, executable

  image[kHeadersSize] = static_cast<char>(0xC3);  // ret
  for (size_t i = kHeadersSize + 1; i < image.size(); ++i) {
    image[i] = static_cast<char>((i * 131) >> 3);
  }
  return image;
}

}  // namespace tarvik::teste
