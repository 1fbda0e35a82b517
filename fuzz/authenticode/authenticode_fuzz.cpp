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

std::vector<uint8_t> ImageAround(const uint8_t* signed_data, size_t size) {
  static const std::string kImage =
      tarvik::teste::BuildPeImage(tarvik::teste::PeFormat::kPe32, 4096);
  std::vector<uint8_t> image(kImage.begin(), kImage.end());
  const uint32_t table = static_cast<uint32_t>(image.size());
  const uint32_t length = static_cast<uint32_t>(size + 8);
  const uint8_t header[8] = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                             static_cast<uint8_t>(length >> 16), static_cast<uint8_t>(length >> 24),
                             0x00, 0x02, 0x02, 0x00};
  image.insert(image.end(), header, header + 8);
  image.insert(image.end(), signed_data, signed_data + size);
  const size_t entry = tarvik::teste::SecurityEntryOffset(tarvik::teste::PeFormat::kPe32);
  for (size_t i = 0; i < 4; ++i) {
    image[entry + i] = static_cast<uint8_t>(table >> (8 * i));
    image[entry + 4 + i] = static_cast<uint8_t>(length >> (8 * i));
  }
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
