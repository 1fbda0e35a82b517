#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_IMAGE_DIGEST_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_IMAGE_DIGEST_H_

#include <openssl/evp.h>

#include <cstdint>
#include <vector>

#include "platform/posix/authenticode/byte_source.h"
#include "platform/posix/authenticode/pe_layout.h"

namespace tarvik::platform {

// The Authenticode digest of a PE image with `md`: every byte of the image
// in order except the checksum field, the security entry and the
// certificate table (which must fit, see `CertificateTableFits`). Bytes after
// the table count too, so that nothing can be appended to a signed image.
// The image is read in large blocks, never whole. Raises `Erro` when the
// bytes cannot be read.
std::vector<uint8_t> ImageDigest(ByteSource& image, const PeLayout& layout, const EVP_MD* md);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_IMAGE_DIGEST_H_
