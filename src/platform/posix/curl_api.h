#ifndef TARVIK_PLATFORM_POSIX_CURL_API_H_
#define TARVIK_PLATFORM_POSIX_CURL_API_H_

#include <curl/curl.h>

namespace tarvik::platform {

// The libcurl functions the updater calls. Most runs make no request at all,
// so the library and the dozens it pulls in are loaded on the first request
// instead of at every start.
struct CurlApi {
  CURL* (*easyInit)();
  void (*easyCleanup)(CURL*);
  void (*easyReset)(CURL*);
  CURLcode (*easySetopt)(CURL*, CURLoption, ...);
  CURLcode (*easyPerform)(CURL*);
  CURLcode (*easyGetinfo)(CURL*, CURLINFO, ...);
  const char* (*easyStrerror)(CURLcode);
  curl_slist* (*slistAppend)(curl_slist*, const char*);
  void (*slistFreeAll)(curl_slist*);
};

// libcurl, loaded and initialised on the first call and kept for the life
// of the process. Raises `Erro` 2 (CURLE_FAILED_INIT) when it cannot be
// loaded.
const CurlApi& Curl();

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_CURL_API_H_
