#include "test_pki.h"

#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <stdexcept>

#include "support/processo.h"

namespace tarvik::teste {
namespace {

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("OpenSSL: ") + what);
}

EVP_PKEY* MakeKey(KeyKind kind) {
  EVP_PKEY* key = kind == KeyKind::kRsa ? EVP_PKEY_Q_keygen(nullptr, nullptr, "RSA", size_t{2048})
                                        : EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
  Check(key != nullptr, "key generation");
  return key;
}

std::vector<std::pair<int, std::string>> Extensions(CertificateRole role) {
  using Role = CertificateRole;
  const bool authority = role == Role::kAuthority || role == Role::kServerAuthority;
  const char* extended = role == Role::kCodeSigning || role == Role::kCodeSigningEnciphermentKey
                             ? "codeSigning"
                         : role == Role::kTimeStamping ? "critical,timeStamping"
                         : role == Role::kAuthority    ? nullptr
                                                       : "serverAuth";
  std::vector<std::pair<int, std::string>> extensions = {
      {NID_basic_constraints, authority ? "critical,CA:TRUE" : "CA:FALSE"},
      {NID_key_usage, authority                                   ? "critical,keyCertSign,cRLSign"
                      : role == Role::kCodeSigningEnciphermentKey ? "critical,keyEncipherment"
                                                                  : "critical,digitalSignature"}};
  if (extended != nullptr) extensions.emplace_back(NID_ext_key_usage, extended);
  extensions.emplace_back(authority ? NID_subject_key_identifier : NID_authority_key_identifier,
                          authority ? "hash" : "keyid");
  return extensions;
}

void WritePem(const std::filesystem::path& path, const std::vector<X509*>& certificates,
              EVP_PKEY* key) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  Check(file != nullptr, "open PEM file");
  for (X509* certificate : certificates) {
    Check(PEM_write_X509(file.get(), certificate) == 1, "write certificate");
  }
  if (key != nullptr) {
    Check(PEM_write_PrivateKey(file.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1,
          "write key");
  }
}

ResultadoProcesso Osslsigncode(const std::vector<std::string>& arguments,
                               const std::filesystem::path& image) {
  return Executa("/usr/bin/osslsigncode", arguments, image.parent_path());
}

}  // namespace

TestIdentity::TestIdentity(const CertificateRequest& request, const TestIdentity* issuer,
                           const std::filesystem::path& folder)
    : key_(MakeKey(request.key), EVP_PKEY_free), certificate_(X509_new(), X509_free) {
  X509* certificate = certificate_.get();
  Check(certificate != nullptr, "X509_new");
  Check(X509_set_version(certificate, 2) == 1, "version");
  unsigned char serial[16];
  Check(RAND_bytes(serial, sizeof serial) == 1, "serial");
  serial[0] &= 0x7F;
  BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
  Check(number != nullptr && BN_to_ASN1_INTEGER(number, X509_get_serialNumber(certificate)),
        "serial");
  BN_free(number);

  X509_NAME* name = X509_get_subject_name(certificate);
  Check(X509_NAME_add_entry_by_txt(
            name, "CN", MBSTRING_UTF8,
            reinterpret_cast<const unsigned char*>(request.common_name.c_str()), -1, -1, 0) == 1,
        "subject");
  X509* issuer_certificate = issuer != nullptr ? issuer->Certificate() : certificate;
  EVP_PKEY* issuer_key = issuer != nullptr ? issuer->Key() : key_.get();
  Check(X509_set_issuer_name(certificate, X509_get_subject_name(issuer_certificate)) == 1,
        "issuer");
  Check(ASN1_TIME_set(X509_getm_notBefore(certificate), request.not_before) != nullptr &&
            ASN1_TIME_set(X509_getm_notAfter(certificate), request.not_after) != nullptr,
        "validity");
  Check(X509_set_pubkey(certificate, key_.get()) == 1, "public key");

  X509V3_CTX context;
  X509V3_set_ctx(&context, issuer_certificate, certificate, nullptr, nullptr, 0);
  for (const auto& [nid, value] : Extensions(request.role)) {
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
    Check(extension != nullptr && X509_add_ext(certificate, extension, -1) == 1, "extension");
    X509_EXTENSION_free(extension);
  }
  Check(X509_sign(certificate, issuer_key, EVP_sha256()) > 0, "sign certificate");

  certificate_path_ = folder / (request.common_name + ".pem");
  key_path_ = folder / (request.common_name + ".key");
  WritePem(certificate_path_, {certificate}, nullptr);
  WritePem(key_path_, {}, key_.get());
}

void WriteCertificateChain(const std::filesystem::path& path,
                           const std::vector<const TestIdentity*>& identities) {
  std::vector<X509*> certificates;
  for (const TestIdentity* identity : identities) certificates.push_back(identity->Certificate());
  WritePem(path, certificates, nullptr);
}

std::time_t UtcDate(int year, int month, int day) {
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  return timegm(&parts);
}

void SignImage(const std::filesystem::path& in, const std::filesystem::path& out,
               const std::filesystem::path& certificates, const std::filesystem::path& key,
               const std::string& digest, const std::vector<std::string>& extra) {
  std::vector<std::string> arguments{"sign", "-certs", certificates.string(), "-key", key.string(),
                                     "-h",   digest};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  arguments.insert(arguments.end(), {"-in", in.string(), "-out", out.string()});
  const ResultadoProcesso result = Osslsigncode(arguments, in);
  if (result.status != 0) {
    throw std::runtime_error("osslsigncode sign " + in.string() + " failed: " + result.saida +
                             result.erros);
  }
}

bool OsslsigncodeAccepts(const std::filesystem::path& image, const std::filesystem::path& trusted) {
  return Osslsigncode({"verify", "-in", image.string(), "-CAfile", trusted.string(), "-TSA-CAfile",
                       trusted.string()},
                      image)
             .status == 0;
}

}  // namespace tarvik::teste
