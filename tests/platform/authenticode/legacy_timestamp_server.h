#ifndef TARVIK_TESTS_PLATFORM_AUTHENTICODE_LEGACY_TIMESTAMP_SERVER_H_
#define TARVIK_TESTS_PLATFORM_AUTHENTICODE_LEGACY_TIMESTAMP_SERVER_H_

#include <ctime>
#include <string>

#include "support/servidor_local.h"
#include "test_pki.h"

namespace tarvik::teste {

// A time-stamping authority on 127.0.0.1 that answers the older Authenticode
// protocol (the one `osslsigncode -t` speaks), whose countersignatures are
// PKCS#9 SignerInfos by `authority`. The time it states comes from the URL,
// so a test can place a signature in the past.
class LegacyTimestampServer {
 public:
  explicit LegacyTimestampServer(const TestIdentity& authority);

  // The URL whose countersignatures state `time`.
  std::string Url(std::time_t time) const { return http_.Url("/" + std::to_string(time)); }

 private:
  ServidorLocal http_;
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_PLATFORM_AUTHENTICODE_LEGACY_TIMESTAMP_SERVER_H_
