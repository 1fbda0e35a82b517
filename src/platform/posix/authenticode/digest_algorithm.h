#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_DIGEST_ALGORITHM_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_DIGEST_ALGORITHM_H_

#include <openssl/evp.h>

#include <cstdint>
#include <span>
#include <vector>

namespace tarvik::platform {

// The digest named by `algorithm` when signatures may use it: SHA-1 and the
// SHA-2 family. nullptr for any other (MD5 included, as Windows refuses it).
const EVP_MD* AcceptedDigest(const ASN1_OBJECT* algorithm);

// The digest of `bytes` with `md`.
std::vector<uint8_t> Digest(const EVP_MD* md, std::span<const uint8_t> bytes);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_DIGEST_ALGORITHM_H_
