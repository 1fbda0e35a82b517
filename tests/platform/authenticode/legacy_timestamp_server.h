#ifndef TARVIK_TESTS_PLATFORM_AUTHENTICODE_LEGACY_TIMESTAMP_SERVER_H_
#define TARVIK_TESTS_PLATFORM_AUTHENTICODE_LEGACY_TIMESTAMP_SERVER_H_

#include <httplib.h>

#include <ctime>
#include <string>
#include <thread>

#include "test_pki.h"

namespace tarvik::teste {

// A time-stamping authority on 127.0.0.1 that answers the older Authenticode
// protocol (the one `osslsigncode -t` speaks), whose countersignatures are
// PKCS#9 SignerInfos. The time it states comes from the URL, so a test can
// place a signature in the past.
class LegacyTimestampServer {
 public:
  explicit LegacyTimestampServer(const TestIdentity& authority);
  ~LegacyTimestampServer();
  LegacyTimestampServer(const LegacyTimestampServer&) = delete;
  LegacyTimestampServer& operator=(const LegacyTimestampServer&) = delete;

  // The URL whose countersignatures state `time`.
  std::string Url(std::time_t time) const;

 private:
  void Answer(const httplib::Request& request, httplib::Response& response) const;

  const TestIdentity& authority_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_PLATFORM_AUTHENTICODE_LEGACY_TIMESTAMP_SERVER_H_
