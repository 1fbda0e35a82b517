#ifndef TARVIK_TESTS_PLATFORM_AUTHENTICODE_OSSLSIGNCODE_H_
#define TARVIK_TESTS_PLATFORM_AUTHENTICODE_OSSLSIGNCODE_H_

#include <filesystem>
#include <string>
#include <vector>

namespace tarvik::teste {

// Signs the PE image `in` into `out` with osslsigncode, with the certificates
// in `certificates` (signer first) and the key in `key`, using the digest
// `digest` ("sha256", ...). `extra` is passed on (timestamp options).
// Throws std::runtime_error with osslsigncode's output when it fails.
void SignImage(const std::filesystem::path& in, const std::filesystem::path& out,
               const std::filesystem::path& certificates, const std::filesystem::path& key,
               const std::string& digest, const std::vector<std::string>& extra = {});

// osslsigncode's own verdict on the signature of `image`, trusting only the
// certificates in `trusted` for signers and time-stamping authorities.
bool OsslsigncodeAccepts(const std::filesystem::path& image, const std::filesystem::path& trusted);

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_PLATFORM_AUTHENTICODE_OSSLSIGNCODE_H_
