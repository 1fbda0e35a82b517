#include "platform/authenticode.h"

#include <openssl/pkcs7.h>
#include <openssl/sha.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/erro.h"
#include "legacy_timestamp_server.h"
#include "osslsigncode.h"
#include "pe_builder.h"
#include "support/pasta_temporaria.h"
#include "test_pki.h"

namespace tarvik::platform {
namespace {

using teste::CertificateRequest;
using teste::CertificateRole;
using teste::KeyKind;
using teste::PeFormat;
using teste::TestIdentity;

constexpr std::time_t kDay = 24 * 60 * 60;
constexpr size_t kCodeSize = 4096;

std::string Hex(int32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<uint32_t>(code));
  return text;
}

std::string Bytes(const ASN1_STRING* text) {
  return {reinterpret_cast<const char*>(ASN1_STRING_get0_data(text)),
          static_cast<size_t>(ASN1_STRING_length(text))};
}

// Flips one bit in the middle of the first occurrence of `part` in `file`.
void FlipInside(std::string& file, const std::string& part) {
  const size_t at = file.find(part);
  ASSERT_NE(at, std::string::npos);
  file[at + part.size() / 2] ^= 0x01;
}

// The identities, the unsigned images and the timestamp server every case
// draws on, made once; the trust store is the test root alone.
class Fixtures {
 public:
  Fixtures()
      : now_(std::time(nullptr)),
        root_(Request("Test Root", CertificateRole::kRootAuthority, KeyKind::kRsa,
                      teste::UtcDate(2019, 1, 1), now_ + 3650 * kDay),
              nullptr, folder_.Caminho()),
        signer_(Request("Code Signer", CertificateRole::kCodeSigning, KeyKind::kRsa, now_ - kDay,
                        now_ + 365 * kDay),
                &root_, folder_.Caminho()),
        ecdsa_signer_(Request("ECDSA Signer", CertificateRole::kCodeSigning, KeyKind::kEcdsa,
                              now_ - kDay, now_ + 365 * kDay),
                      &root_, folder_.Caminho()),
        server_(Request("Web Server", CertificateRole::kServer, KeyKind::kEcdsa, now_ - kDay,
                        now_ + 365 * kDay),
                &root_, folder_.Caminho()),
        expired_signer_(Request("Expired Signer", CertificateRole::kCodeSigning, KeyKind::kEcdsa,
                                teste::UtcDate(2020, 1, 1), teste::UtcDate(2021, 1, 1)),
                        &root_, folder_.Caminho()),
        time_stamper_(Request("Time Stamper", CertificateRole::kTimeStamping, KeyKind::kEcdsa,
                              teste::UtcDate(2019, 1, 1), now_ + 3650 * kDay),
                      &root_, folder_.Caminho()),
        other_root_(Request("Other Root", CertificateRole::kRootAuthority, KeyKind::kEcdsa,
                            now_ - kDay, now_ + 3650 * kDay),
                    nullptr, folder_.Caminho()),
        stranger_(Request("Stranger", CertificateRole::kCodeSigning, KeyKind::kEcdsa, now_ - kDay,
                          now_ + 365 * kDay),
                  &other_root_, folder_.Caminho()),
        strange_time_stamper_(Request("Strange Time Stamper", CertificateRole::kTimeStamping,
                                      KeyKind::kEcdsa, now_ - kDay, now_ + 3650 * kDay),
                              &other_root_, folder_.Caminho()),
        legacy_server_(time_stamper_),
        legacy_server_by_signer_(signer_) {
    teste::EscreveArquivo(Path("pe32.exe"), teste::BuildPeImage(PeFormat::kPe32, kCodeSize));
    teste::EscreveArquivo(Path("pe32plus.exe"),
                          teste::BuildPeImage(PeFormat::kPe32Plus, kCodeSize));
    std::filesystem::create_directory(Path("no-certificates"));
    setenv("SSL_CERT_FILE", root_.CertificatePath().c_str(), 1);
    setenv("SSL_CERT_DIR", Path("no-certificates").c_str(), 1);
  }

  std::filesystem::path Path(const std::string& name) const { return folder_.Caminho() / name; }
  std::time_t Now() const { return now_; }
  const TestIdentity& Root() const { return root_; }
  const TestIdentity& Signer() const { return signer_; }
  const TestIdentity& EcdsaSigner() const { return ecdsa_signer_; }
  const TestIdentity& Server() const { return server_; }
  const TestIdentity& ExpiredSigner() const { return expired_signer_; }
  const TestIdentity& TimeStamper() const { return time_stamper_; }
  const TestIdentity& OtherRoot() const { return other_root_; }
  const TestIdentity& Stranger() const { return stranger_; }
  const TestIdentity& StrangeTimeStamper() const { return strange_time_stamper_; }

  // Signs the unsigned image of `format` as `name` with `identity`, sending
  // the certificates of `chain` (the signer's first).
  std::filesystem::path Sign(const std::string& name, PeFormat format,
                             const std::vector<const TestIdentity*>& chain,
                             const std::string& digest = "sha256",
                             const std::vector<std::string>& extra = {}) {
    const std::filesystem::path certificates = Path(name + ".chain.pem");
    teste::WriteCertificateChain(certificates, chain);
    const std::filesystem::path out = Path(name);
    teste::SignImage(Path(format == PeFormat::kPe32 ? "pe32.exe" : "pe32plus.exe"), out,
                     certificates, chain.front()->KeyPath(), digest, extra);
    return out;
  }

  std::filesystem::path SignedBySigner(const std::string& name) {
    return Sign(name, PeFormat::kPe32, {&signer_, &root_});
  }

  // Options for an RFC 3161 timestamp by `authority` stating `time`.
  static std::vector<std::string> Rfc3161(const TestIdentity& authority, std::time_t time) {
    return {"-TSA-certs", authority.CertificatePath().string(), "-TSA-key",
            authority.KeyPath().string(), "-TSA-time", std::to_string(time)};
  }

  // Options for a PKCS#9 countersignature stating `time`.
  std::vector<std::string> Legacy(std::time_t time) const {
    return {"-t", legacy_server_.Url(time)};
  }

  // The same, countersigned with the code-signing certificate.
  std::vector<std::string> LegacyBySigner(std::time_t time) const {
    return {"-t", legacy_server_by_signer_.Url(time)};
  }

  // A copy of `source` as `name`, changed by `change`.
  std::filesystem::path Altered(const std::filesystem::path& source, const std::string& name,
                                const std::function<void(std::string&)>& change) {
    std::string file = teste::LeArquivo(source);
    change(file);
    const std::filesystem::path out = Path(name);
    teste::EscreveArquivo(out, file);
    return out;
  }

  std::filesystem::path Written(const std::string& name, const std::string& content) {
    teste::EscreveArquivo(Path(name), content);
    return Path(name);
  }

 private:
  static CertificateRequest Request(const std::string& name, CertificateRole role, KeyKind key,
                                    std::time_t not_before, std::time_t not_after) {
    return {name, role, key, not_before, not_after};
  }

  teste::PastaTemporaria folder_;
  std::time_t now_;
  TestIdentity root_;
  TestIdentity signer_;
  TestIdentity ecdsa_signer_;
  TestIdentity server_;
  TestIdentity expired_signer_;
  TestIdentity time_stamper_;
  TestIdentity other_root_;
  TestIdentity stranger_;
  TestIdentity strange_time_stamper_;
  teste::LegacyTimestampServer legacy_server_;
  teste::LegacyTimestampServer legacy_server_by_signer_;
};

// The signature osslsigncode appended to an image built with `kCodeSize`:
// the certificate table starts right after the image, its PKCS#7 eight bytes
// further.
std::unique_ptr<PKCS7, void (*)(PKCS7*)> SignatureOf(const std::string& file) {
  const size_t start = teste::BuildPeImage(PeFormat::kPe32, kCodeSize).size() + 8;
  const auto* cursor = reinterpret_cast<const unsigned char*>(file.data() + start);
  return {d2i_PKCS7(nullptr, &cursor, static_cast<long>(file.size() - start)), PKCS7_free};
}

std::string SignatureValue(const std::string& file) {
  const auto signature = SignatureOf(file);
  return Bytes(sk_PKCS7_SIGNER_INFO_value(signature->d.sign->signer_info, 0)->enc_digest);
}

// osslsigncode falls back to the current time when a timestamp does not
// verify; a broken timestamp is refused here, so on such a file it accepts
// what the verifier refuses, and that shows the rest of the signature sound.
enum class Osslsigncode { kAgrees, kIgnoresTheTimestamp };

struct VerdictCase {
  std::string name;
  std::function<std::filesystem::path(Fixtures&)> make;
  int32_t expected;
  Osslsigncode osslsigncode = Osslsigncode::kAgrees;
};

void PrintTo(const VerdictCase& verdict_case, std::ostream* out) { *out << verdict_case.name; }

std::string CaseName(const testing::TestParamInfo<VerdictCase>& param) { return param.param.name; }

class AuthenticodeVerdictTest : public testing::TestWithParam<VerdictCase> {
 protected:
  static void SetUpTestSuite() { fixtures_ = std::make_unique<Fixtures>(); }
  static void TearDownTestSuite() { fixtures_.reset(); }

  static std::unique_ptr<Fixtures> fixtures_;
};

std::unique_ptr<Fixtures> AuthenticodeVerdictTest::fixtures_;

TEST_P(AuthenticodeVerdictTest, GivesTheCodeOfWinVerifyTrustAndAgreesWithOsslsigncode) {
  const std::filesystem::path file = GetParam().make(*fixtures_);
  EXPECT_EQ(Hex(VerifyAuthenticode(file.string())), Hex(GetParam().expected));
  EXPECT_EQ(teste::OsslsigncodeAccepts(file, fixtures_->Root().CertificatePath()),
            GetParam().expected == kTrustValid ||
                GetParam().osslsigncode == Osslsigncode::kIgnoresTheTimestamp);
}

const VerdictCase kValidSignatures[] = {
    {"Pe32", [](Fixtures& f) { return f.SignedBySigner("pe32-signed.exe"); }, kTrustValid},
    {"Pe32Plus",
     [](Fixtures& f) {
       return f.Sign("pe32plus-signed.exe", PeFormat::kPe32Plus, {&f.Signer(), &f.Root()});
     },
     kTrustValid},
    {"Sha1",
     [](Fixtures& f) {
       return f.Sign("sha1.exe", PeFormat::kPe32Plus, {&f.Signer(), &f.Root()}, "sha1");
     },
     kTrustValid},
    {"Sha384",
     [](Fixtures& f) {
       return f.Sign("sha384.exe", PeFormat::kPe32, {&f.Signer(), &f.Root()}, "sha384");
     },
     kTrustValid},
    {"Sha512",
     [](Fixtures& f) {
       return f.Sign("sha512.exe", PeFormat::kPe32Plus, {&f.Signer(), &f.Root()}, "sha512");
     },
     kTrustValid},
    {"EcdsaSignerWithoutItsRootInTheSignature",
     [](Fixtures& f) { return f.Sign("ecdsa.exe", PeFormat::kPe32, {&f.EcdsaSigner()}); },
     kTrustValid},
    {"Rfc3161Timestamp",
     [](Fixtures& f) {
       return f.Sign("rfc3161.exe", PeFormat::kPe32, {&f.Signer(), &f.Root()}, "sha256",
                     Fixtures::Rfc3161(f.TimeStamper(), f.Now()));
     },
     kTrustValid},
    {"LegacyTimestamp",
     [](Fixtures& f) {
       return f.Sign("legacy.exe", PeFormat::kPe32Plus, {&f.Signer(), &f.Root()}, "sha256",
                     f.Legacy(f.Now()));
     },
     kTrustValid},
    {"ExpiredCertificateWithRfc3161TimestampFromItsValidity",
     [](Fixtures& f) {
       return f.Sign("expired-rfc3161.exe", PeFormat::kPe32, {&f.ExpiredSigner()}, "sha256",
                     Fixtures::Rfc3161(f.TimeStamper(), teste::UtcDate(2020, 6, 1)));
     },
     kTrustValid},
    {"ExpiredCertificateWithLegacyTimestampFromItsValidity",
     [](Fixtures& f) {
       return f.Sign("expired-legacy.exe", PeFormat::kPe32, {&f.ExpiredSigner()}, "sha256",
                     f.Legacy(teste::UtcDate(2020, 6, 1)));
     },
     kTrustValid},
};

INSTANTIATE_TEST_SUITE_P(Valid, AuthenticodeVerdictTest, testing::ValuesIn(kValidSignatures),
                         CaseName);

const VerdictCase kFaultyFiles[] = {
    {"Unsigned", [](Fixtures& f) { return f.Path("pe32.exe"); }, kTrustNoSignature},
    {"TextFile", [](Fixtures& f) { return f.Written("text.exe", "Isto não é um executável.\n"); },
     kTrustSubjectFormUnknown},
    {"EmptyFile", [](Fixtures& f) { return f.Written("empty.exe", ""); },
     kTrustSubjectFormUnknown},
    {"DosHeaderPointingPastTheEnd",
     [](Fixtures& f) {
       return f.Altered(f.Path("pe32.exe"), "dos-only.exe", [](std::string& file) {
         file[0x3C] = 0x00;
         file[0x3D] = 0x40;
         file.resize(0x400);
       });
     },
     kTrustSubjectFormUnknown},
    {"TruncatedInsideTheHeaders",
     [](Fixtures& f) {
       return f.Altered(f.SignedBySigner("to-cut-headers.exe"), "cut-headers.exe",
                        [](std::string& file) { file.resize(200); });
     },
     kTrustSubjectFormUnknown},
    {"TruncatedInsideTheCertificateTable",
     [](Fixtures& f) {
       return f.Altered(f.SignedBySigner("to-cut-table.exe"), "cut-table.exe",
                        [](std::string& file) { file.resize(file.size() - 100); });
     },
     kTrustNoSignature},
    {"SecurityDirectoryPastTheEnd",
     [](Fixtures& f) {
       return f.Altered(f.SignedBySigner("to-move-table.exe"), "moved-table.exe",
                        [](std::string& file) {
                          const uint32_t past_end = static_cast<uint32_t>(file.size() + 8);
                          const size_t entry = teste::SecurityEntryOffset(PeFormat::kPe32);
                          for (size_t i = 0; i < 4; ++i) {
                            file[entry + i] = static_cast<char>(past_end >> (8 * i));
                          }
                        });
     },
     kTrustNoSignature},
    {"WrongCertificateRevision",
     [](Fixtures& f) {
       return f.Altered(f.SignedBySigner("to-revise.exe"), "revised.exe", [](std::string& file) {
         file[teste::BuildPeImage(PeFormat::kPe32, kCodeSize).size() + 5] = 0x01;
       });
     },
     kTrustNoSignature},
    {"SignatureThatIsNotDer",
     [](Fixtures& f) {
       return f.Altered(f.SignedBySigner("to-break.exe"), "broken.exe", [](std::string& file) {
         file[teste::BuildPeImage(PeFormat::kPe32, kCodeSize).size() + 8] = 0x31;
       });
     },
     kTrustNoSignature},
    {"ByteChangedInTheImage",
     [](Fixtures& f) {
       return f.Altered(f.SignedBySigner("to-patch.exe"), "patched.exe",
                        [](std::string& file) { file[0x300] ^= 0x01; });
     },
     kTrustBadDigest},
    {"DataAppendedAfterTheSignature",
     [](Fixtures& f) {
       return f.Altered(f.SignedBySigner("to-extend.exe"), "extended.exe",
                        [](std::string& file) { file += "appended"; });
     },
     kTrustBadDigest},
    {"ByteChangedInTheSignatureValue",
     [](Fixtures& f) {
       return f.Altered(f.SignedBySigner("to-forge.exe"), "forged.exe", [](std::string& file) {
         FlipInside(file, SignatureValue(file));
       });
     },
     kTrustBadDigest},
    {"ByteChangedInTheSignersCertificate",
     [](Fixtures& f) {
       return f.Altered(f.SignedBySigner("to-rename.exe"), "renamed.exe",
                        [](std::string& file) { FlipInside(file, "Code Signer"); });
     },
     kTrustCertSignature},
    {"UntrustedRoot",
     [](Fixtures& f) {
       return f.Sign("untrusted.exe", PeFormat::kPe32, {&f.Stranger(), &f.OtherRoot()});
     },
     kCertUntrustedRoot},
    {"IssuerNowhereToBeFound",
     [](Fixtures& f) { return f.Sign("orphan.exe", PeFormat::kPe32, {&f.Stranger()}); },
     kCertChaining},
    {"CertificateWithoutCodeSigningUsage",
     [](Fixtures& f) {
       return f.Sign("server.exe", PeFormat::kPe32, {&f.Server(), &f.Root()});
     },
     kCertWrongUsage},
    {"ExpiredCertificateWithoutTimestamp",
     [](Fixtures& f) { return f.Sign("expired.exe", PeFormat::kPe32, {&f.ExpiredSigner()}); },
     kCertExpired},
    {"ExpiredCertificateWithTimestampAfterItsValidity",
     [](Fixtures& f) {
       return f.Sign("expired-late.exe", PeFormat::kPe32, {&f.ExpiredSigner()}, "sha256",
                     Fixtures::Rfc3161(f.TimeStamper(), teste::UtcDate(2022, 6, 1)));
     },
     kCertExpired},
    {"TimestampByUntrustedAuthority",
     [](Fixtures& f) {
       return f.Sign("stranger-stamped.exe", PeFormat::kPe32, {&f.Signer(), &f.Root()}, "sha256",
                     Fixtures::Rfc3161(f.StrangeTimeStamper(), f.Now()));
     },
     kTrustTimeStamp, Osslsigncode::kIgnoresTheTimestamp},
    {"TimestampBySignerWithoutTimeStampingUsage",
     [](Fixtures& f) {
       return f.Sign("self-stamped.exe", PeFormat::kPe32Plus, {&f.Signer(), &f.Root()}, "sha256",
                     f.LegacyBySigner(f.Now()));
     },
     kTrustTimeStamp, Osslsigncode::kIgnoresTheTimestamp},
    {"TimestampForAnotherSignature",
     [](Fixtures& f) {
       return f.Altered(
           f.Sign("to-restamp.exe", PeFormat::kPe32, {&f.Signer(), &f.Root()}, "sha256",
                  Fixtures::Rfc3161(f.TimeStamper(), f.Now())),
           "restamped.exe", [](std::string& file) {
             const std::string value = SignatureValue(file);
             unsigned char imprint[SHA256_DIGEST_LENGTH];
             SHA256(reinterpret_cast<const unsigned char*>(value.data()), value.size(), imprint);
             FlipInside(file, std::string(reinterpret_cast<const char*>(imprint), sizeof imprint));
           });
     },
     kTrustTimeStamp, Osslsigncode::kIgnoresTheTimestamp},
};

INSTANTIATE_TEST_SUITE_P(Faulty, AuthenticodeVerdictTest, testing::ValuesIn(kFaultyFiles),
                         CaseName);

}  // namespace
}  // namespace tarvik::platform
