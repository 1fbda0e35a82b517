#include "test_pki.h"

#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "support/processo.h"

namespace tarvik::teste {
namespace {

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("OpenSSL: ") + what);
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
  Check(key == nullptr ||
            PEM_write_PrivateKey(file.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1,
        "write key");
}

}  // namespace

TestIdentity::TestIdentity(const CertificateRequest& request, const TestIdentity* issuer,
                           const std::filesystem::path& folder)
    : key_(request.key == KeyKind::kRsa ? EVP_PKEY_Q_keygen(nullptr, nullptr, "RSA", size_t{2048})
                                        : EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"),
           EVP_PKEY_free),
      certificate_(X509_new(), X509_free) {
  // Serial numbers only need to differ among the certificates of one issuer.
  static long serial = 0;
  X509* certificate = certificate_.get();
  X509* issuer_certificate = issuer != nullptr ? issuer->Certificate() : certificate;
  const auto* name = reinterpret_cast<const unsigned char*>(request.common_name.c_str());
  Check(key_ && certificate && X509_set_version(certificate, 2) &&
            ASN1_INTEGER_set(X509_get_serialNumber(certificate), ++serial) &&
            X509_NAME_add_entry_by_txt(X509_get_subject_name(certificate), "CN", MBSTRING_UTF8,
                                       name, -1, -1, 0) &&
            X509_set_issuer_name(certificate, X509_get_subject_name(issuer_certificate)) &&
            ASN1_TIME_set(X509_getm_notBefore(certificate), request.not_before) &&
            ASN1_TIME_set(X509_getm_notAfter(certificate), request.not_after) &&
            X509_set_pubkey(certificate, key_.get()),
        "certificate");
  X509V3_CTX context;
  X509V3_set_ctx(&context, issuer_certificate, certificate, nullptr, nullptr, 0);
  for (const auto& [nid, value] : Extensions(request.role)) {
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
    Check(extension != nullptr && X509_add_ext(certificate, extension, -1) == 1, "extension");
    X509_EXTENSION_free(extension);
  }
  Check(X509_sign(certificate, issuer != nullptr ? issuer->Key() : key_.get(), EVP_sha256()) > 0,
        "sign certificate");
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
  using namespace std::chrono;
  return system_clock::to_time_t(sys_days{::std::chrono::year(year) / month / day});
}

void SignImage(const std::filesystem::path& in, const std::filesystem::path& out,
               const std::filesystem::path& certificates, const std::filesystem::path& key,
               const std::string& digest, const std::vector<std::string>& extra) {
  std::vector<std::string> arguments{"sign", "-certs", certificates.string(), "-key", key.string(),
                                     "-h",   digest};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  arguments.insert(arguments.end(), {"-in", in.string(), "-out", out.string()});
  const ResultadoProcesso result = Executa("/usr/bin/osslsigncode", arguments, in.parent_path());
  if (result.status != 0) {
    throw std::runtime_error("osslsigncode sign " + in.string() + " failed: " + result.saida +
                             result.erros);
  }
}

bool OsslsigncodeAccepts(const std::filesystem::path& image, const std::filesystem::path& trusted) {
  const std::string ca = trusted.string();
  return Executa("/usr/bin/osslsigncode",
                 {"verify", "-in", image.string(), "-CAfile", ca, "-TSA-CAfile", ca},
                 image.parent_path())
             .status == 0;
}

}  // namespace tarvik::teste
