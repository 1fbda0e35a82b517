#include "platform/authenticode.h"

#include <gtest/gtest.h>
#include <openssl/pkcs7.h>
#include <openssl/sha.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/erro.h"
#include "legacy_timestamp_server.h"
#include "pe_builder.h"
#include "platform/utilitarios.h"
#include "support/instalacao_teste.h"
#include "support/pasta_temporaria.h"
#include "support/registro_teste.h"
#include "tasks/contexto_execucao.h"
#include "tasks/tarefa.h"
#include "test_pki.h"

namespace tarvik::platform {
namespace {

using teste::CertificateRole;
using teste::KeyKind;
using enum CertificateRole;
using enum KeyKind;
using teste::PeFormat;
using teste::TestIdentity;

constexpr std::time_t kDay = 24 * 60 * 60;
constexpr std::time_t kYear = 365 * kDay;
constexpr size_t kCodeSize = 4096;

std::string Hex(int32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<uint32_t>(code));
  return text;
}

// Flips one bit in the middle of the first occurrence of `part` in `file`.
void FlipInside(std::string& file, const std::string& part) {
  const size_t at = file.find(part);
  ASSERT_NE(at, std::string::npos);
  file[at + part.size() / 2] ^= 0x01;
}

// The identities, the unsigned images and the timestamp servers every case
// draws on, made once; the trust store is the test root alone.
struct Fixtures {
  Fixtures() {
    teste::EscreveArquivo(Path("pe32.exe"), teste::BuildPeImage(PeFormat::kPe32, kCodeSize));
    teste::EscreveArquivo(Path("pe32plus.exe"),
                          teste::BuildPeImage(PeFormat::kPe32Plus, kCodeSize));
    std::filesystem::create_directory(Path("no-certificates"));
    setenv("SSL_CERT_FILE", root.CertificatePath().c_str(), 1);
    setenv("SSL_CERT_DIR", Path("no-certificates").c_str(), 1);
    // The timestamp server is local; no proxy of the machine may stand between.
    for (const char* proxy : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) {
      unsetenv(proxy);
    }
  }

  std::filesystem::path Path(const std::string& name) const { return folder.Caminho() / name; }

  // Valid from yesterday for a year unless `not_before` is given.
  TestIdentity Identity(const std::string& name, CertificateRole role, const TestIdentity* issuer,
                        KeyKind key = KeyKind::kEcdsa, std::time_t not_before = 0,
                        std::time_t not_after = 0) {
    if (not_before == 0) {
      not_before = now - kDay;
      not_after = now + kYear;
    }
    return TestIdentity({name, role, key, not_before, not_after}, issuer, folder.Caminho());
  }

  // Signs the unsigned image of `format` as `name`, sending the certificates
  // of `chain`, the signer's first.
  std::filesystem::path Sign(const std::string& name, PeFormat format,
                             const std::vector<const TestIdentity*>& chain,
                             const std::string& digest = "sha256",
                             const std::vector<std::string>& extra = {}) {
    const std::filesystem::path certificates = Path(name + ".chain.pem");
    teste::WriteCertificateChain(certificates, chain);
    teste::SignImage(Path(format == PeFormat::kPe32 ? "pe32.exe" : "pe32plus.exe"), Path(name),
                     certificates, chain.front()->KeyPath(), digest, extra);
    return Path(name);
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
  const TestIdentity ecdsa_signer = Identity("ECDSA Signer", kCodeSigning, &root);
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
  const teste::LegacyTimestampServer legacy_server{time_stamper};
  const teste::LegacyTimestampServer legacy_server_by_signer{signer};
};

using F = Fixtures;

// The signature osslsigncode appended to an image built with `kCodeSize`:
// the certificate table starts right after the image, its PKCS#7 eight bytes
// further.
const size_t kTableStart = teste::BuildPeImage(PeFormat::kPe32, kCodeSize).size();

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
using Make = std::function<std::filesystem::path(Fixtures&, const std::string&)>;

// A timestamp: by an RFC 3161 `authority` or from a `legacy` server, stating
// `time` (now when 0).
struct Stamp {
  const TestIdentity F::*authority = nullptr;
  const teste::LegacyTimestampServer F::*legacy = nullptr;
  std::time_t time = 0;
};

Make Signed(PeFormat format, std::vector<const TestIdentity F::*> chain,
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
    return f.Sign(name + ".exe", format, certificates, digest, extra);
  };
}

const Make kBySigner = Signed(PeFormat::kPe32, {&F::signer, &F::root});

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
enum class Osslsigncode { kAgrees, kIgnoresTheTimestamp, kIgnoresUsageLimits };

struct VerdictCase {
  std::string name;
  Make make;
  int32_t expected;
  Osslsigncode osslsigncode = Osslsigncode::kAgrees;
};

void PrintTo(const VerdictCase& verdict_case, std::ostream* out) { *out << verdict_case.name; }

std::string CaseName(const testing::TestParamInfo<VerdictCase>& param) { return param.param.name; }

class SignedImagesTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { fixtures_ = std::make_unique<Fixtures>(); }
  static void TearDownTestSuite() { fixtures_.reset(); }

  static std::unique_ptr<Fixtures> fixtures_;
};

std::unique_ptr<Fixtures> SignedImagesTest::fixtures_;

class AuthenticodeVerdictTest : public SignedImagesTest,
                                public testing::WithParamInterface<VerdictCase> {};

TEST_P(AuthenticodeVerdictTest, GivesTheCodeOfWinVerifyTrustAndAgreesWithOsslsigncode) {
  const std::filesystem::path file = GetParam().make(*fixtures_, GetParam().name);
  EXPECT_EQ(Hex(VerifyAuthenticode(file.string())), Hex(GetParam().expected));
  EXPECT_EQ(teste::OsslsigncodeAccepts(file, fixtures_->root.CertificatePath()),
            GetParam().expected == kTrustValid || GetParam().osslsigncode != Osslsigncode::kAgrees);
}

constexpr PeFormat kPe32 = PeFormat::kPe32, kPe32Plus = PeFormat::kPe32Plus;

// The timestamps fall within the expired signer's validity, so the
// certificate is judged at their time.
const VerdictCase kValidSignatures[] = {
    {"Pe32", kBySigner, kTrustValid},
    {"Sha1", Signed(kPe32Plus, {&F::signer, &F::root}, "sha1"), kTrustValid},
    {"Sha384", Signed(kPe32, {&F::signer, &F::root}, "sha384"), kTrustValid},
    {"Sha512", Signed(kPe32Plus, {&F::signer, &F::root}, "sha512"), kTrustValid},
    {"EcdsaSignerWithoutItsRootInTheSignature", Signed(kPe32, {&F::ecdsa_signer}), kTrustValid},
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
};

INSTANTIATE_TEST_SUITE_P(Valid, AuthenticodeVerdictTest, testing::ValuesIn(kValidSignatures),
                         CaseName);

// Writes a little-endian 32-bit `value` at `at`.
void Put32(std::string& file, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
}

// Flips a bit in the digest of the signature value that a timestamp carries.
void FlipTheTimestampImprint(std::string& file) {
  const std::string value = SignatureValue(file);
  unsigned char imprint[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(value.data()), value.size(), imprint);
  FlipInside(file, std::string(reinterpret_cast<const char*>(imprint), sizeof imprint));
}

const VerdictCase kFaultyFiles[] = {
    {"Unsigned", [](F& f, auto&) { return f.Path("pe32.exe"); }, kTrustNoSignature},
    {"TextFile", Altered([](std::string& file) { file = "Isto não é um executável.\n"; }),
     kTrustSubjectFormUnknown},
    {"EmptyFile", Altered([](std::string& file) { file.clear(); }), kTrustSubjectFormUnknown},
    {"DosHeaderPointingPastTheEnd", Altered([](std::string& file) {
       Put32(file, 0x3C, 0x4000);
       file.resize(0x400);
     }),
     kTrustSubjectFormUnknown},
    {"TruncatedInsideTheHeaders", Altered([](std::string& file) { file.resize(200); }),
     kTrustSubjectFormUnknown},
    {"TruncatedInsideTheCertificateTable",
     Altered([](std::string& file) { file.resize(file.size() - 100); }), kTrustNoSignature},
    {"SecurityDirectoryPastTheEnd", Altered([](std::string& file) {
       Put32(file, teste::SecurityEntryOffset(kPe32), static_cast<uint32_t>(file.size() + 8));
     }),
     kTrustNoSignature},
    {"WrongCertificateRevision", Altered([](std::string& file) { file[kTableStart + 5] = 0x01; }),
     kTrustNoSignature},
    {"SignatureThatIsNotDer", Altered([](std::string& file) { file[kTableStart + 8] = 0x31; }),
     kTrustNoSignature},
    {"ByteChangedInTheImage", Altered([](std::string& file) { file[0x300] ^= 0x01; }),
     kTrustBadDigest},
    {"DataAppendedAfterTheSignature", Altered([](std::string& file) { file += "appended"; }),
     kTrustBadDigest},
    {"ByteChangedInTheSignatureValue",
     Altered([](std::string& file) { FlipInside(file, SignatureValue(file)); }), kTrustBadDigest},
    {"ByteChangedInTheSignersCertificate",
     Altered([](std::string& file) { FlipInside(file, "Code Signer"); }), kTrustCertSignature},
    {"UntrustedRoot", Signed(kPe32, {&F::stranger, &F::other_root}), kCertUntrustedRoot},
    {"IssuerNowhereToBeFound", Signed(kPe32, {&F::stranger}), kCertChaining},
    {"CertificateWithoutCodeSigningUsage", Signed(kPe32, {&F::server, &F::root}), kCertWrongUsage},
    {"AuthorityLimitedToServerAuthentication",
     Signed(kPe32, {&F::misplaced_signer, &F::server_authority}), kCertWrongUsage,
     Osslsigncode::kIgnoresUsageLimits},
    {"KeyLimitedToEncipherment", Signed(kPe32, {&F::encipherment_signer}), kCertWrongUsage,
     Osslsigncode::kIgnoresUsageLimits},
    {"CertificateNotYetValid", Signed(kPe32, {&F::future_signer}), kCertExpired},
    {"ExpiredCertificateWithoutTimestamp", Signed(kPe32, {&F::expired_signer}), kCertExpired},
    {"ExpiredCertificateWithTimestampAfterItsValidity",
     Signed(kPe32, {&F::expired_signer}, "sha256",
            {&F::time_stamper, nullptr, teste::UtcDate(2022, 6, 1)}),
     kCertExpired},
    {"TimestampByUntrustedAuthority",
     Signed(kPe32, {&F::signer, &F::root}, "sha256", {&F::strange_time_stamper}), kTrustTimeStamp,
     Osslsigncode::kIgnoresTheTimestamp},
    {"TimestampBySignerWithoutTimeStampingUsage",
     Signed(kPe32Plus, {&F::signer, &F::root}, "sha256", {nullptr, &F::legacy_server_by_signer}),
     kTrustTimeStamp, Osslsigncode::kIgnoresTheTimestamp},
    {"TimestampForAnotherSignature",
     Altered(FlipTheTimestampImprint,
             Signed(kPe32, {&F::signer, &F::root}, "sha256", {&F::time_stamper})),
     kTrustTimeStamp, Osslsigncode::kIgnoresTheTimestamp},
};

INSTANTIATE_TEST_SUITE_P(Faulty, AuthenticodeVerdictTest, testing::ValuesIn(kFaultyFiles),
                         CaseName);

class AuthenticodePathTest : public SignedImagesTest {};

TEST_F(AuthenticodePathTest, TakesWindowsSeparatorsAndAnyLetterCase) {
  const std::filesystem::path file = kBySigner(*fixtures_, "Assinado");
  std::string windows_path = file.parent_path().string() + "/ASSINADO.EXE";
  std::replace(windows_path.begin(), windows_path.end(), '/', '\\');
  EXPECT_EQ(Hex(VerifyAuthenticode(windows_path)), Hex(kTrustValid));
}

// The verification tasks, with the real verifier behind the utility
// component, log the code in decimal and hexadecimal: the refused files fail
// a received file and only warn about an installed one.
class VerificationTaskTest : public SignedImagesTest {
 protected:
  // Runs a task of `code` on `file` with its true size and hash and a
  // required signature; returns its result.
  Resultado Run(int32_t code, const std::filesystem::path& file) {
    const std::string path = file.string();
    Tarefa task;
    task.AdicionaDetalhe(path);
    task.AdicionaDetalhe(CriaUtilitarios()->CalculaHash(path));
    task.AdicionaDetalhe(std::to_string(std::filesystem::file_size(file)));
    task.AdicionaDetalhe("True");
    if (code == kVerificarArquivoOriginal)
      task.AdicionaDetalhe("http://h/" + file.filename().string());
    task.Codigo(code);
    ContextoExecucao context;
    return task.Executa(context, true);
  }

  static std::string SignatureLine(const std::filesystem::path& file, int32_t detail) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", static_cast<uint32_t>(detail));
    return "Assinatura do arquivo [" + file.string() + "] não confere: Detalhe: [" +
           std::to_string(detail) + "/" + hex + "]";
  }

  static constexpr int32_t kVerificarValidadeArquivo = 7;
  static constexpr int32_t kVerificarArquivoOriginal = 16;
  teste::InstalacaoTeste installation_{teste::kMomentoRegistro};
};

TEST_F(VerificationTaskTest, ValidlySignedFilePasses) {
  const std::filesystem::path file = kBySigner(*fixtures_, "tarefa-assinado");
  EXPECT_EQ(Run(kVerificarValidadeArquivo, file), Resultado::kSucessoInstalacao);
  for (const std::string& line : installation_.LinhasRegistro()) {
    EXPECT_EQ(line.find("Assinatura"), std::string::npos) << line;
  }
}

TEST_F(VerificationTaskTest, EveryRefusedFileIsLoggedWithItsCode) {
  for (const VerdictCase& refused : kFaultyFiles) {
    std::filesystem::remove(installation_.Pasta().Em("registro.log"));
    const std::filesystem::path file = refused.make(*fixtures_, refused.name);
    EXPECT_EQ(Run(kVerificarValidadeArquivo, file), Resultado::kFalhaInstalacao) << refused.name;
    EXPECT_EQ(Run(kVerificarArquivoOriginal, file), Resultado::kSucessoInstalacao) << refused.name;
    const std::vector<std::string> lines = installation_.LinhasRegistro();
    const std::string line = SignatureLine(file, refused.expected);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), teste::LinhaErro(line)), 1) << refused.name;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), teste::LinhaAviso(line)), 1) << refused.name;
  }
}

TEST(AuthenticodeUnreadableTest, RaisesTheClassicErrorOfTheFile) {
  const teste::PastaTemporaria pasta;
  const struct {
    std::string path;
    ResultadoPasso expected;
  } cases[] = {
      {pasta.Em("ausente.exe"), {53, "Arquivo não encontrado [" + pasta.Em("ausente.exe") + "]"}},
      {pasta.Em("ausente/a.exe"),
       {76, "Caminho não encontrado [" + pasta.Em("ausente/a.exe") + "]"}},
      {pasta.Texto(), {75, "Erro de acesso a caminho/arquivo [" + pasta.Texto() + "]"}},
  };
  for (const auto& item : cases) {
    const ResultadoPasso result = PassoProtegido([&] { VerifyAuthenticode(item.path); });
    EXPECT_EQ(result.numero, item.expected.numero) << item.path;
    EXPECT_EQ(result.descricao, item.expected.descricao) << item.path;
  }
}

}  // namespace
}  // namespace tarvik::platform
