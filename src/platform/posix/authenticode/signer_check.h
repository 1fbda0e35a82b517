#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_SIGNER_CHECK_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_SIGNER_CHECK_H_

#include <openssl/pkcs7.h>
#include <openssl/x509.h>

#include <cstdint>
#include <span>

namespace tarvik::platform {

// How far a SignerInfo vouches for its content.
enum class SignerVerdict {
  kValid,
  kNoCertificate,  // its certificate is not among those given
  kMalformed,      // no signed attributes, no message digest, or a refused algorithm
  kMismatch,       // another content type or digest, or a signature that does not verify
};

struct SignerCheck {
  SignerVerdict verdict = SignerVerdict::kMalformed;
  X509* certificate = nullptr;  // owned by the certificate stack; set when found
};

// Verifies that `signer` vouches for `content`: its signed attributes carry
// `content`'s digest and, when `contentType` is given, that content type;
// and its signature over those attributes verifies with the key of its
// certificate, looked up by issuer and serial number in `certificates`.
SignerCheck CheckSigner(PKCS7_SIGNER_INFO* signer, STACK_OF(X509) * certificates,
                        std::span<const uint8_t> content, const ASN1_OBJECT* contentType);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_SIGNER_CHECK_H_
