#include "platform/authenticode.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/pkcs7.h>
#include <openssl/sha.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "base/erro.h"
#include "pe_builder.h"
#include "platform/utilitarios.h"
#include "support/pasta_temporaria.h"
#include "support/servidor_local.h"
#include "test_pki.h"

namespace tarvik::platform {
namespace {

namespace fs = std::filesystem;
using teste::KeyKind::kEcdsa, teste::KeyKind::kRsa, teste::PeFormat::kPe32,
    teste::PeFormat::kPe32Plus;
using enum teste::CertificateRole;
using teste::TestIdentity;

constexpr std::time_t kDay = 24 * 60 * 60, kYear = 365 * kDay;
constexpr size_t kCodeSize = 4096;

// Flips one bit in the middle of the first occurrence of `part` in `file`.
void FlipInside(std::string& file, const std::string& part) {
  const size_t at = file.find(part);
  ASSERT_NE(at, std::string::npos);
  file[at + part.size() / 2] ^= 0x01;
}

std::vector<unsigned char> DecodeBase64(std::string text) {
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  std::vector<unsigned char> bytes(text.size());
  const int length =
      EVP_DecodeBlock(bytes.data(), reinterpret_cast<const unsigned char*>(text.data()),
                      static_cast<int>(text.size()));
  if (length < 0) throw std::runtime_error("request is not base64");
  // The decoder counts the padding as zero bytes.
  bytes.resize(static_cast<size_t>(length) - (text.ends_with("==") ? 2 : text.ends_with('=')));
  return bytes;
}

std::string EncodeBase64(const std::string& bytes) {
  std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  text.resize(static_cast<size_t>(EVP_EncodeBlock(
      reinterpret_cast<unsigned char*>(text.data()),
      reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()))));
  return text;
}

// The signature value to countersign: TimeStampRequest ::= SEQUENCE {
// countersignatureType OID, attributes OPTIONAL, content ContentInfo }, whose
// content is data.
std::vector<unsigned char> CountersignedBytes(const std::vector<unsigned char>& request) {
  const unsigned char* cursor = request.data();
  std::unique_ptr<ASN1_SEQUENCE_ANY, void (*)(ASN1_SEQUENCE_ANY*)> fields(
      d2i_ASN1_SEQUENCE_ANY(nullptr, &cursor, static_cast<long>(request.size())),
      [](ASN1_SEQUENCE_ANY* s) { sk_ASN1_TYPE_pop_free(s, ASN1_TYPE_free); });
  if (!fields || sk_ASN1_TYPE_num(fields.get()) < 2) throw std::runtime_error("bad request");
  const ASN1_TYPE* content = sk_ASN1_TYPE_value(fields.get(), sk_ASN1_TYPE_num(fields.get()) - 1);
  if (content->type != V_ASN1_SEQUENCE) throw std::runtime_error("bad request content");
  const unsigned char* info = content->value.sequence->data;
  std::unique_ptr<PKCS7, void (*)(PKCS7*)> data(
      d2i_PKCS7(nullptr, &info, content->value.sequence->length), PKCS7_free);
  if (!data || !PKCS7_type_is_data(data.get())) throw std::runtime_error("bad request data");
  const ASN1_OCTET_STRING* octets = data->d.data;
  return {octets->data, octets->data + octets->length};
}

std::string Countersign(const TestIdentity& authority, const std::vector<unsigned char>& content,
                        std::time_t time) {
  constexpr int kFlags = PKCS7_BINARY | PKCS7_PARTIAL | PKCS7_NOSMIMECAP;
  std::unique_ptr<PKCS7, void (*)(PKCS7*)> reply(
      PKCS7_sign(nullptr, nullptr, nullptr, nullptr, kFlags), PKCS7_free);
  PKCS7_SIGNER_INFO* signer = reply ? PKCS7_sign_add_signer(reply.get(), authority.Certificate(),
                                                            authority.Key(), EVP_sha256(), kFlags)
                                    : nullptr;
  ASN1_UTCTIME* signing_time = ASN1_UTCTIME_set(nullptr, time);
  if (signer == nullptr || signing_time == nullptr ||
      PKCS7_add_signed_attribute(signer, NID_pkcs9_signingTime, V_ASN1_UTCTIME, signing_time) !=
          1) {
    ASN1_UTCTIME_free(signing_time);
    throw std::runtime_error("cannot build the countersignature");
  }
  std::unique_ptr<BIO, int (*)(BIO*)> input(
      BIO_new_mem_buf(content.data(), static_cast<int>(content.size())), BIO_free);
  if (PKCS7_final(reply.get(), input.get(), PKCS7_BINARY) != 1) {
    throw std::runtime_error("cannot sign the countersignature");
  }
  unsigned char* der = nullptr;
  const int length = i2d_PKCS7(reply.get(), &der);
  std::string bytes(reinterpret_cast<const char*>(der), static_cast<size_t>(std::max(length, 0)));
  OPENSSL_free(der);
  return bytes;
}

// A time-stamping authority on 127.0.0.1 that answers the older Authenticode
// protocol (the one `osslsigncode -t` speaks), whose countersignatures are
// PKCS#9 SignerInfos by `authority`. The time it states comes from the URL,
// so a test can place a signature in the past.
class LegacyTimestampServer {
 public:
  explicit LegacyTimestampServer(const TestIdentity& authority) {
    http_.Http().Post(R"(/(\d+))", [&authority](const httplib::Request& request,
                                                httplib::Response& response) {
      // A request it cannot read throws: the server answers 500.
      const std::time_t time = std::stoll(request.matches[1].str());
      response.set_content(EncodeBase64(Countersign(
                               authority, CountersignedBytes(DecodeBase64(request.body)), time)),
                           "application/octet-stream");
    });
    // osslsigncode, a process of its own, closes its connection when it
    // ends; a reply followed at once by the server's close is sometimes cut
    // short on its side.
    http_.Http().set_keep_alive_max_count(CPPHTTPLIB_KEEPALIVE_MAX_COUNT);
    http_.Inicia();
  }

  // The URL whose countersignatures state `time`.
  std::string Url(std::time_t time) const { return http_.Url("/" + std::to_string(time)); }

 private:
  teste::ServidorLocal http_;
};

// The identities, the unsigned images and the timestamp servers every case
// draws on, made once; the trust store is the test root alone.
struct Fixtures {
  Fixtures() {
    teste::EscreveArquivo(Path("pe32.exe"), teste::BuildPeImage(kPe32, kCodeSize));
    teste::EscreveArquivo(Path("pe32plus.exe"), teste::BuildPeImage(kPe32Plus, kCodeSize));
    fs::create_directory(Path("no-certificates"));
    setenv("SSL_CERT_FILE", root.CertificatePath().c_str(), 1);
    setenv("SSL_CERT_DIR", Path("no-certificates").c_str(), 1);
    // The timestamp server is local; no proxy of the machine may stand between.
    for (const char* proxy : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) {
      unsetenv(proxy);
    }
  }

  fs::path Path(const std::string& name) const { return folder.Caminho() / name; }

  // Valid from yesterday for a year unless `not_before` is given.
  TestIdentity Identity(const std::string& name, teste::CertificateRole role,
                        const TestIdentity* issuer, teste::KeyKind key = kEcdsa,
                        std::time_t not_before = 0, std::time_t not_after = 0) {
    if (not_before == 0) not_before = now - kDay, not_after = now + kYear;
    return TestIdentity({name, role, key, not_before, not_after}, issuer, folder.Caminho());
  }

  teste::PastaTemporaria folder;
  const std::time_t now = std::time(nullptr);
  const std::time_t long_ago = teste::UtcDate(2019, 1, 1), in_ten_years = now + 10 * kYear;
  const TestIdentity root =
      Identity("Test Root", kAuthority, nullptr, kRsa, long_ago, in_ten_years);
  const TestIdentity signer = Identity("Code Signer", kCodeSigning, &root, kRsa);
  const TestIdentity intermediate = Identity("Intermediate", kAuthority, &root);
  const TestIdentity distant_signer = Identity("Distant Signer", kCodeSigning, &intermediate);
  const TestIdentity server_authority = Identity("Server Authority", kServerAuthority, &root);
  const TestIdentity misplaced_signer =
      Identity("Misplaced Signer", kCodeSigning, &server_authority);
  const TestIdentity encipherment_signer =
      Identity("Encipherment Signer", kCodeSigningEnciphermentKey, &root, kRsa);
  const TestIdentity future_signer =
      Identity("Future Signer", kCodeSigning, &root, kEcdsa, now + kYear, now + 2 * kYear);
  const TestIdentity server = Identity("Web Server", kServer, &root);
  const TestIdentity expired_signer =
      Identity("Expired Signer", kCodeSigning, &root, kEcdsa, teste::UtcDate(2020, 1, 1),
               teste::UtcDate(2021, 1, 1));
  const TestIdentity time_stamper =
      Identity("Time Stamper", kTimeStamping, &root, kEcdsa, long_ago, in_ten_years);
  const TestIdentity other_root =
      Identity("Other Root", kAuthority, nullptr, kEcdsa, now - kDay, in_ten_years);
  const TestIdentity stranger = Identity("Stranger", kCodeSigning, &other_root);
  const TestIdentity strange_time_stamper = Identity("Strange Time Stamper", kTimeStamping,
                                                     &other_root, kEcdsa, now - kDay, in_ten_years);
  const LegacyTimestampServer legacy_server{time_stamper};
  const LegacyTimestampServer legacy_server_by_signer{signer};
};

using F = Fixtures;

// The signature osslsigncode appended to an image built with `kCodeSize`:
// the certificate table starts right after the image, its PKCS#7 eight bytes
// further.
const size_t kTableStart = teste::BuildPeImage(kPe32, kCodeSize).size();

std::string SignatureValue(const std::string& file) {
  const auto* cursor = reinterpret_cast<const unsigned char*>(file.data() + kTableStart + 8);
  const std::unique_ptr<PKCS7, void (*)(PKCS7*)> signature(
      d2i_PKCS7(nullptr, &cursor, static_cast<long>(file.size() - kTableStart - 8)), PKCS7_free);
  const ASN1_STRING* value =
      sk_PKCS7_SIGNER_INFO_value(signature->d.sign->signer_info, 0)->enc_digest;
  return {reinterpret_cast<const char*>(ASN1_STRING_get0_data(value)),
          static_cast<size_t>(ASN1_STRING_length(value))};
}

// Makes the image of a case from its name.
using Make = std::function<fs::path(Fixtures&, const std::string&)>;

// A timestamp: by an RFC 3161 `authority` or from a `legacy` server, stating
// `time` (now when 0).
struct Stamp {
  const TestIdentity F::*authority = nullptr;
  const LegacyTimestampServer F::*legacy = nullptr;
  std::time_t time = 0;
};

// Signs the unsigned image of `format`, sending the certificates of `chain`,
// the signer's first.
Make Signed(teste::PeFormat format, std::vector<const TestIdentity F::*> chain,
            std::string digest = "sha256", Stamp stamp = {}) {
  return [=](Fixtures& f, const std::string& name) {
    std::vector<const TestIdentity*> certificates;
    for (const auto member : chain) certificates.push_back(&(f.*member));
    const std::time_t time = stamp.time == 0 ? f.now : stamp.time;
    std::vector<std::string> extra;
    if (stamp.authority != nullptr) {
      extra = {"-TSA-certs", (f.*stamp.authority).CertificatePath().string(),
               "-TSA-key",   (f.*stamp.authority).KeyPath().string(),
               "-TSA-time",  std::to_string(time)};
    } else if (stamp.legacy != nullptr) {
      extra = {"-t", (f.*stamp.legacy).Url(time)};
    }
    teste::WriteCertificateChain(f.Path(name + ".pem"), certificates);
    teste::SignImage(f.Path(format == kPe32 ? "pe32.exe" : "pe32plus.exe"), f.Path(name + ".exe"),
                     f.Path(name + ".pem"), certificates.front()->KeyPath(), digest, extra);
    return f.Path(name + ".exe");
  };
}

const Make kBySigner = Signed(kPe32, {&F::signer, &F::root});

// A copy of what `source` makes, changed by `change`.
Make Altered(std::function<void(std::string&)> change, Make source = kBySigner) {
  return [=](Fixtures& f, const std::string& name) {
    std::string file = teste::LeArquivo(source(f, name + ".source"));
    change(file);
    teste::EscreveArquivo(f.Path(name + ".exe"), file);
    return f.Path(name + ".exe");
  };
}

// Where osslsigncode is more lenient, it accepts what the verifier refuses,
// and so shows that the rest of the signature is sound: it falls back to the
// current time when a timestamp does not verify, and it lets an authority's
// extended key usage and the signer's key usage limits pass.
enum class Osslsigncode { kAgrees, kLenient };
using enum Osslsigncode;

struct VerdictCase {
  std::string name;
  Make make;
  int32_t expected;
  Osslsigncode osslsigncode = kAgrees;
};

void PrintTo(const VerdictCase& verdict_case, std::ostream* out) { *out << verdict_case.name; }

// Made once, on first use, for every case.
Fixtures& Shared() {
  static Fixtures fixtures;
  return fixtures;
}

class AuthenticodeVerdictTest : public testing::TestWithParam<VerdictCase> {};

// The utility component the tasks use gives the verifier's code.
TEST_P(AuthenticodeVerdictTest, GivesTheCodeOfWinVerifyTrustAndAgreesWithOsslsigncode) {
  const fs::path file = GetParam().make(Shared(), GetParam().name);
  const Verificacao verificacao = CriaUtilitarios()->VerificaAssinatura(file.string());
  EXPECT_EQ(verificacao.detalhe, GetParam().expected);
  EXPECT_EQ(verificacao.valido, GetParam().expected == kTrustValid);
  EXPECT_EQ(teste::OsslsigncodeAccepts(file, Shared().root.CertificatePath()),
            GetParam().expected == kTrustValid || GetParam().osslsigncode == kLenient);
}

std::string CaseName(const testing::TestParamInfo<VerdictCase>& param) { return param.param.name; }

// Flips a bit in the digest of the signature value that a timestamp carries.
void FlipTheTimestampImprint(std::string& file) {
  const std::string value = SignatureValue(file);
  unsigned char imprint[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(value.data()), value.size(), imprint);
  FlipInside(file, std::string(reinterpret_cast<const char*>(imprint), sizeof imprint));
}

// Valid signatures first; the timestamps fall within the expired signer's
// validity, so the certificate is judged at their time.
const VerdictCase kCases[] = {
    {"Pe32", kBySigner, kTrustValid},
    {"Sha1", Signed(kPe32Plus, {&F::signer, &F::root}, "sha1"), kTrustValid},
    {"Sha384", Signed(kPe32, {&F::signer, &F::root}, "sha384"), kTrustValid},
    {"Sha512", Signed(kPe32Plus, {&F::signer, &F::root}, "sha512"), kTrustValid},
    {"ThroughAnIntermediateAuthority", Signed(kPe32Plus, {&F::distant_signer, &F::intermediate}),
     kTrustValid},
    {"ExpiredCertificateWithRfc3161TimestampFromItsValidity",
     Signed(kPe32, {&F::expired_signer}, "sha256",
            {&F::time_stamper, nullptr, teste::UtcDate(2020, 6, 1)}),
     kTrustValid},
    {"ExpiredCertificateWithLegacyTimestampFromItsValidity",
     Signed(kPe32Plus, {&F::expired_signer}, "sha256",
            {nullptr, &F::legacy_server, teste::UtcDate(2020, 6, 1)}),
     kTrustValid},
    // Faulty files.
    {"Unsigned", [](F& f, auto&) { return f.Path("pe32.exe"); }, kTrustNoSignature},
    {"TextFile", Altered([](auto& b) { b = "Isto não é um executável.\n"; }),
     kTrustSubjectFormUnknown},
    {"DosHeaderPointingPastTheEnd", Altered([](auto& b) {
       teste::PutLe(b, 0x3C, 0x4000);
       b.resize(0x400);
     }),
     kTrustSubjectFormUnknown},
    {"TruncatedInsideTheHeaders", Altered([](auto& b) { b.resize(200); }),
     kTrustSubjectFormUnknown},
    {"TruncatedInsideTheCertificateTable", Altered([](auto& b) { b.resize(b.size() - 100); }),
     kTrustNoSignature},
    {"SecurityDirectoryPastTheEnd", Altered([](auto& b) {
       teste::PutLe(b, teste::SecurityEntryOffset(kPe32), static_cast<uint32_t>(b.size() + 8));
     }),
     kTrustNoSignature},
    {"WrongCertificateRevision", Altered([](auto& b) { b[kTableStart + 5] = 0x01; }),
     kTrustNoSignature},
    {"SignatureThatIsNotDer", Altered([](auto& b) { b[kTableStart + 8] = 0x31; }),
     kTrustNoSignature},
    {"ByteChangedInTheImage", Altered([](auto& b) { b[0x300] ^= 0x01; }), kTrustBadDigest},
    {"DataAppendedAfterTheSignature", Altered([](auto& b) { b += "appended"; }), kTrustBadDigest},
    {"ByteChangedInTheSignatureValue", Altered([](auto& b) { FlipInside(b, SignatureValue(b)); }),
     kTrustBadDigest},
    {"ByteChangedInTheSignersCertificate", Altered([](auto& b) { FlipInside(b, "Code Signer"); }),
     kTrustCertSignature},
    {"UntrustedRoot", Signed(kPe32, {&F::stranger, &F::other_root}), kCertUntrustedRoot},
    {"IssuerNowhereToBeFound", Signed(kPe32, {&F::stranger}), kCertChaining},
    {"CertificateWithoutCodeSigningUsage", Signed(kPe32, {&F::server, &F::root}), kCertWrongUsage},
    {"AuthorityLimitedToServerAuthentication",
     Signed(kPe32, {&F::misplaced_signer, &F::server_authority}), kCertWrongUsage, kLenient},
    {"KeyLimitedToEncipherment", Signed(kPe32, {&F::encipherment_signer}), kCertWrongUsage,
     kLenient},
    {"CertificateNotYetValid", Signed(kPe32, {&F::future_signer}), kCertExpired},
    {"ExpiredCertificateWithoutTimestamp", Signed(kPe32, {&F::expired_signer}), kCertExpired},
    {"ExpiredCertificateWithTimestampAfterItsValidity",
     Signed(kPe32, {&F::expired_signer}, "sha256",
            {&F::time_stamper, nullptr, teste::UtcDate(2022, 6, 1)}),
     kCertExpired},
    {"TimestampByUntrustedAuthority",
     Signed(kPe32, {&F::signer, &F::root}, "sha256", {&F::strange_time_stamper}), kTrustTimeStamp,
     kLenient},
    {"TimestampBySignerWithoutTimeStampingUsage",
     Signed(kPe32Plus, {&F::signer, &F::root}, "sha256", {nullptr, &F::legacy_server_by_signer}),
     kTrustTimeStamp, kLenient},
    {"TimestampForAnotherSignature",
     Altered(FlipTheTimestampImprint,
             Signed(kPe32, {&F::signer, &F::root}, "sha256", {&F::time_stamper})),
     kTrustTimeStamp, kLenient},
};

INSTANTIATE_TEST_SUITE_P(Signatures, AuthenticodeVerdictTest, testing::ValuesIn(kCases), CaseName);

TEST(AuthenticodePathTest, TakesAnyPathFormAndRaisesTheClassicErrorOfAFileItCannotRead) {
  std::string windows = kBySigner(Shared(), "Assinado").parent_path().string() + "/ASSINADO.EXE";
  std::replace(windows.begin(), windows.end(), '/', '\\');
  const teste::PastaTemporaria pasta;
  const std::pair<std::string, std::string> cases[] = {
      {windows, "0"},
      {pasta.Em("ausente.exe"), "53 Arquivo não encontrado [" + pasta.Em("ausente.exe") + "]"},
      {pasta.Em("ausente/a.exe"), "76 Caminho não encontrado [" + pasta.Em("ausente/a.exe") + "]"},
      {pasta.Texto(), "75 Erro de acesso a caminho/arquivo [" + pasta.Texto() + "]"},
  };
  for (const auto& [path, expected] : cases) {
    int32_t code = 0;
    const ResultadoPasso error = PassoProtegido([&] { code = VerifyAuthenticode(path); });
    EXPECT_EQ(error.Falhou() ? std::to_string(error.numero) + " " + error.descricao
                             : std::to_string(code),
              expected);
  }
}

}  // namespace
}  // namespace tarvik::platform
