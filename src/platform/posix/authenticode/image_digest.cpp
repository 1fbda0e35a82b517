#include "platform/posix/authenticode/image_digest.h"

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>

#include "platform/posix/authenticode/openssl_ptr.h"

namespace tarvik::platform {
namespace {

// Large enough that the per-read cost vanishes next to the hashing.
constexpr size_t kBlockSize = 1024 * 1024;
constexpr uint64_t kChecksumSize = 4;

struct Range {
  uint64_t begin;
  uint64_t end;
};

void Check(int result) {
  if (result != 1) throw std::runtime_error("digest failed");
}

}  // namespace

std::vector<uint8_t> ImageDigest(ByteSource& image, const PeLayout& layout, const EVP_MD* md) {
  const uint64_t tableEnd =
      uint64_t{layout.certificate_table_offset} + layout.certificate_table_size;
  const std::array<Range, 4> ranges{{
      {0, layout.checksum_offset},
      {layout.checksum_offset + kChecksumSize, layout.security_entry_offset},
      {layout.security_entry_offset + kSecurityEntrySize, layout.certificate_table_offset},
      {tableEnd, image.Size()},
  }};

  MdCtxPtr context(EVP_MD_CTX_new());
  if (!context) throw std::runtime_error("digest failed");
  Check(EVP_DigestInit_ex(context.get(), md, nullptr));
  const auto block = std::make_unique_for_overwrite<uint8_t[]>(kBlockSize);
  for (const Range& range : ranges) {
    for (uint64_t position = range.begin; position < range.end;) {
      const size_t length =
          static_cast<size_t>(std::min<uint64_t>(kBlockSize, range.end - position));
      image.ReadAt(position, {block.get(), length});
      Check(EVP_DigestUpdate(context.get(), block.get(), length));
      position += length;
    }
  }
  std::vector<uint8_t> digest(static_cast<size_t>(EVP_MD_get_size(md)));
  unsigned int length = 0;
  Check(EVP_DigestFinal_ex(context.get(), digest.data(), &length));
  digest.resize(length);
  return digest;
}

}  // namespace tarvik::platform
