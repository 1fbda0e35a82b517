#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_CHAIN_CHECK_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_CHAIN_CHECK_H_

#include <openssl/x509.h>

#include <cstdint>
#include <ctime>

namespace tarvik::platform {

// What the signing certificate must be good for.
enum class KeyPurpose { kCodeSigning, kTimeStamping };

// Builds the chain of `leaf` to a root in `store`, taking intermediates from
// `intermediates`, verifies it at time `at`, and checks that it allows
// `purpose`: the leaf must name that extended key usage (and allow digital
// signatures when it limits key usage), and a CA that limits extended key
// usage must include it. Returns 0, or the WinVerifyTrust HRESULT of the
// gravest failure, in this order: TRUST_E_CERT_SIGNATURE,
// CERT_E_UNTRUSTEDROOT, CERT_E_CHAINING, CERT_E_WRONG_USAGE, CERT_E_EXPIRED.
int32_t CheckChain(X509_STORE* store, X509* leaf, STACK_OF(X509) * intermediates, std::time_t at,
                   KeyPurpose purpose);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_CHAIN_CHECK_H_
