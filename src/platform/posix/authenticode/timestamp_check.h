#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_TIMESTAMP_CHECK_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_TIMESTAMP_CHECK_H_

#include <openssl/pkcs7.h>
#include <openssl/x509.h>

#include <ctime>

namespace tarvik::platform {

// Whether a signature carries a timestamp, and the time it vouches for.
struct TimestampCheck {
  enum class State { kAbsent, kValid, kInvalid };
  State state = State::kAbsent;
  std::time_t time = 0;  // when valid
};

// Looks among `signer`'s unsigned attributes for a timestamp, an RFC 3161
// token first, then the older PKCS#9 countersignature (whose certificates
// travel in `certificates`, those of the outer signature), and verifies it:
// its signature, that it covers `signer`'s signature value, and the chain of
// its signer to `store` at the time it states, for time stamping. A timestamp
// that is there but fails any of these is invalid, never ignored.
TimestampCheck CheckTimestamp(PKCS7_SIGNER_INFO* signer, STACK_OF(X509) * certificates,
                              X509_STORE* store);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_TIMESTAMP_CHECK_H_
