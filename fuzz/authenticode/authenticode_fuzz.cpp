// Feeds arbitrary bytes to the signature verifier. The first byte chooses
// the shape: 0 takes the rest as a whole image, so the PE headers and the
// certificate table get mutated; any other value places the rest as the
// PKCS#7 SignedData of the PE32 image the tests sign, so the mutations reach
// the signature parser and, while the image digest still matches, the
// timestamp and chain checks.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "pe_builder.h"
#include "platform/posix/authenticode/image_signature.h"
#include "platform/posix/authenticode/memory_byte_source.h"

namespace {

void PutLe32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> ImageAround(const uint8_t* signed_data, size_t size) {
  static const std::string kImage =
      tarvik::teste::BuildPeImage(tarvik::teste::PeFormat::kPe32, 4096);
  std::vector<uint8_t> image(kImage.begin(), kImage.end());
  const uint32_t table = static_cast<uint32_t>(image.size());
  const uint32_t length = static_cast<uint32_t>(size + 8);
  const size_t entry = tarvik::teste::SecurityEntryOffset(tarvik::teste::PeFormat::kPe32);
  PutLe32(image, entry, table);
  PutLe32(image, entry + 4, length);
  image.resize(table + 8);
  PutLe32(image, table, length);
  image[table + 5] = 0x02;  // revision 2.0
  image[table + 6] = 0x02;  // PKCS signed data
  image.insert(image.end(), signed_data, signed_data + size);
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // An empty trust store: chains are still built and checked, quickly.
  setenv("SSL_CERT_FILE", "/dev/null", 1);
  setenv("SSL_CERT_DIR", "/nonexistent", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if (data[0] == 0) {
    tarvik::platform::MemoryByteSource image({data + 1, size - 1});
    tarvik::platform::VerifyImageSignature(image);
  } else {
    const std::vector<uint8_t> bytes = ImageAround(data + 1, size - 1);
    tarvik::platform::MemoryByteSource image(bytes);
    tarvik::platform::VerifyImageSignature(image);
  }
  return 0;
}
