#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_IMAGE_SIGNATURE_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_IMAGE_SIGNATURE_H_

#include <cstdint>

#include "platform/posix/authenticode/byte_source.h"

namespace tarvik::platform {

// Verifies the Authenticode signature of the PE image in `image`: the image
// digest it states, its signer's signature, its timestamp when it has one,
// and its chain to the trust store at OpenSSL's default verify paths
// (SSL_CERT_FILE and SSL_CERT_DIR honoured), at the timestamp's time or now.
// Returns 0 or the HRESULT that WinVerifyTrust gives for the same fault (see
// platform/authenticode.h). Raises `Erro` only when the bytes cannot be read.
int32_t VerifyImageSignature(ByteSource& image);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_IMAGE_SIGNATURE_H_
