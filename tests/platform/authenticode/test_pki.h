#ifndef TARVIK_TESTS_PLATFORM_AUTHENTICODE_TEST_PKI_H_
#define TARVIK_TESTS_PLATFORM_AUTHENTICODE_TEST_PKI_H_

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tarvik::teste {

// What a throwaway certificate is for.
enum class CertificateRole {
  kAuthority,
  kServerAuthority,  // an authority limited to issuing for server authentication
  kCodeSigning,
  kCodeSigningEnciphermentKey,  // code signing, but a key limited to encipherment
  kServer,
  kTimeStamping,
};

enum class KeyKind { kRsa, kEcdsa };

struct CertificateRequest {
  std::string common_name;
  CertificateRole role = CertificateRole::kCodeSigning;
  KeyKind key = KeyKind::kEcdsa;
  std::time_t not_before = 0;
  std::time_t not_after = 0;
};

// A key pair and its certificate, made for the tests and saved as PEM files
// (`CertificatePath()`, `KeyPath()`) in a folder.
class TestIdentity {
 public:
  // Makes a key and a certificate issued by `issuer`, or self-signed when it
  // is null, and writes them to `folder`. Throws std::runtime_error on any
  // OpenSSL failure.
  TestIdentity(const CertificateRequest& request, const TestIdentity* issuer,
               const std::filesystem::path& folder);

  X509* Certificate() const { return certificate_.get(); }
  EVP_PKEY* Key() const { return key_.get(); }
  const std::filesystem::path& CertificatePath() const { return certificate_path_; }
  const std::filesystem::path& KeyPath() const { return key_path_; }

 private:
  std::unique_ptr<EVP_PKEY, void (*)(EVP_PKEY*)> key_;
  std::unique_ptr<X509, void (*)(X509*)> certificate_;
  std::filesystem::path certificate_path_;
  std::filesystem::path key_path_;
};

// Writes the certificates of `identities`, in order, to one PEM file.
void WriteCertificateChain(const std::filesystem::path& path,
                           const std::vector<const TestIdentity*>& identities);

// Seconds since the epoch of a UTC calendar date.
std::time_t UtcDate(int year, int month, int day);

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

#endif  // TARVIK_TESTS_PLATFORM_AUTHENTICODE_TEST_PKI_H_
