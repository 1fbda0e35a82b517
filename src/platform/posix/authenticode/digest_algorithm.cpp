#include "platform/posix/authenticode/digest_algorithm.h"

#include <openssl/objects.h>

#include <stdexcept>

namespace tarvik::platform {

const EVP_MD* AcceptedDigest(const ASN1_OBJECT* algorithm) {
  if (algorithm == nullptr) return nullptr;
  switch (OBJ_obj2nid(algorithm)) {
    case NID_sha1:
      return EVP_sha1();
    case NID_sha256:
      return EVP_sha256();
    case NID_sha384:
      return EVP_sha384();
    case NID_sha512:
      return EVP_sha512();
    default:
      return nullptr;
  }
}

std::vector<uint8_t> Digest(const EVP_MD* md, std::span<const uint8_t> bytes) {
  std::vector<uint8_t> digest(static_cast<size_t>(EVP_MD_get_size(md)));
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, md, nullptr) != 1) {
    throw std::runtime_error("digest failed");
  }
  digest.resize(length);
  return digest;
}

}  // namespace tarvik::platform
