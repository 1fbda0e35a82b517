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
#include "osslsigncode.h"
#include "pe_builder.h"
#include "platform/utilitarios.h"
#include "script/contexto_execucao.h"
#include "support/instalacao_teste.h"
#include "support/pasta_temporaria.h"
#include "support/registro_teste.h"
#include "tasks/tarefa.h"
#include "test_pki.h"

namespace tarvik::platform {
namespace {

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

  TestIdentity Identity(const std::string& name, CertificateRole role, KeyKind key,
                        std::time_t not_before, std::time_t not_after, const TestIdentity* issuer) {
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

  std::filesystem::path SignedBySigner(const std::string& name) {
    return Sign(name, PeFormat::kPe32, {&signer, &root});
  }

  // Options for an RFC 3161 timestamp by `authority` stating `time`.
  static std::vector<std::string> Rfc3161(const TestIdentity& authority, std::time_t time) {
    return {"-TSA-certs", authority.CertificatePath().string(),
            "-TSA-key",   authority.KeyPath().string(),
            "-TSA-time",  std::to_string(time)};
  }

  // Options for a PKCS#9 countersignature from `server` stating `time`.
  static std::vector<std::string> Legacy(const teste::LegacyTimestampServer& server,
                                         std::time_t time) {
    return {"-t", server.Url(time)};
  }

  // A copy of `source` as `name`, changed by `change`.
  std::filesystem::path Altered(const std::filesystem::path& source, const std::string& name,
                                const std::function<void(std::string&)>& change) {
    std::string file = teste::LeArquivo(source);
    change(file);
    teste::EscreveArquivo(Path(name), file);
    return Path(name);
  }

  std::filesystem::path Written(const std::string& name, const std::string& content) {
    teste::EscreveArquivo(Path(name), content);
    return Path(name);
  }

  teste::PastaTemporaria folder;
  const std::time_t now = std::time(nullptr);
  const std::time_t year = 365 * kDay;
  const TestIdentity root = Identity("Test Root", CertificateRole::kAuthority, KeyKind::kRsa,
                                     teste::UtcDate(2019, 1, 1), now + 10 * year, nullptr);
  const TestIdentity signer = Identity("Code Signer", CertificateRole::kCodeSigning, KeyKind::kRsa,
                                       now - kDay, now + year, &root);
  const TestIdentity intermediate = Identity("Intermediate", CertificateRole::kAuthority,
                                             KeyKind::kEcdsa, now - kDay, now + year, &root);
  const TestIdentity distant_signer =
      Identity("Distant Signer", CertificateRole::kCodeSigning, KeyKind::kEcdsa, now - kDay,
               now + year, &intermediate);
  const TestIdentity server_authority =
      Identity("Server Authority", CertificateRole::kServerAuthority, KeyKind::kEcdsa, now - kDay,
               now + year, &root);
  const TestIdentity misplaced_signer =
      Identity("Misplaced Signer", CertificateRole::kCodeSigning, KeyKind::kEcdsa, now - kDay,
               now + year, &server_authority);
  const TestIdentity encipherment_signer =
      Identity("Encipherment Signer", CertificateRole::kCodeSigningEnciphermentKey, KeyKind::kRsa,
               now - kDay, now + year, &root);
  const TestIdentity future_signer = Identity("Future Signer", CertificateRole::kCodeSigning,
                                              KeyKind::kEcdsa, now + year, now + 2 * year, &root);
  const TestIdentity ecdsa_signer = Identity("ECDSA Signer", CertificateRole::kCodeSigning,
                                             KeyKind::kEcdsa, now - kDay, now + year, &root);
  const TestIdentity server = Identity("Web Server", CertificateRole::kServer, KeyKind::kEcdsa,
                                       now - kDay, now + year, &root);
  const TestIdentity expired_signer =
      Identity("Expired Signer", CertificateRole::kCodeSigning, KeyKind::kEcdsa,
               teste::UtcDate(2020, 1, 1), teste::UtcDate(2021, 1, 1), &root);
  const TestIdentity time_stamper =
      Identity("Time Stamper", CertificateRole::kTimeStamping, KeyKind::kEcdsa,
               teste::UtcDate(2019, 1, 1), now + 10 * year, &root);
  const TestIdentity other_root = Identity("Other Root", CertificateRole::kAuthority,
                                           KeyKind::kEcdsa, now - kDay, now + 10 * year, nullptr);
  const TestIdentity stranger = Identity("Stranger", CertificateRole::kCodeSigning, KeyKind::kEcdsa,
                                         now - kDay, now + year, &other_root);
  const TestIdentity strange_time_stamper =
      Identity("Strange Time Stamper", CertificateRole::kTimeStamping, KeyKind::kEcdsa, now - kDay,
               now + 10 * year, &other_root);
  const teste::LegacyTimestampServer legacy_server{time_stamper};
  const teste::LegacyTimestampServer legacy_server_by_signer{signer};
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

// Where osslsigncode is more lenient, it accepts what the verifier refuses,
// and so shows that the rest of the signature is sound: it falls back to the
// current time when a timestamp does not verify, and it lets an authority's
// extended key usage and the signer's key usage limits pass.
enum class Osslsigncode { kAgrees, kIgnoresTheTimestamp, kIgnoresUsageLimits };

struct VerdictCase {
  std::string name;
  std::function<std::filesystem::path(Fixtures&)> make;
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
  const std::filesystem::path file = GetParam().make(*fixtures_);
  EXPECT_EQ(Hex(VerifyAuthenticode(file.string())), Hex(GetParam().expected));
  EXPECT_EQ(teste::OsslsigncodeAccepts(file, fixtures_->root.CertificatePath()),
            GetParam().expected == kTrustValid || GetParam().osslsigncode != Osslsigncode::kAgrees);
}

const VerdictCase kValidSignatures[] = {
    {"Pe32", [](Fixtures& f) { return f.SignedBySigner("pe32-signed.exe"); }, kTrustValid},
    {"Pe32Plus",
     [](Fixtures& f) {
       return f.Sign("pe32plus-signed.exe", PeFormat::kPe32Plus, {&f.signer, &f.root});
     },
     kTrustValid},
    {"Sha1",
     [](Fixtures& f) {
       return f.Sign("sha1.exe", PeFormat::kPe32Plus, {&f.signer, &f.root}, "sha1");
     },
     kTrustValid},
    {"Sha384",
     [](Fixtures& f) {
       return f.Sign("sha384.exe", PeFormat::kPe32, {&f.signer, &f.root}, "sha384");
     },
     kTrustValid},
    {"Sha512",
     [](Fixtures& f) {
       return f.Sign("sha512.exe", PeFormat::kPe32Plus, {&f.signer, &f.root}, "sha512");
     },
     kTrustValid},
    {"EcdsaSignerWithoutItsRootInTheSignature",
     [](Fixtures& f) { return f.Sign("ecdsa.exe", PeFormat::kPe32, {&f.ecdsa_signer}); },
     kTrustValid},
    {"ThroughAnIntermediateAuthority",
     [](Fixtures& f) {
       return f.Sign("distant.exe", PeFormat::kPe32Plus, {&f.distant_signer, &f.intermediate});
     },
     kTrustValid},
    {"Rfc3161Timestamp",
     [](Fixtures& f) {
       return f.Sign("rfc3161.exe", PeFormat::kPe32, {&f.signer, &f.root}, "sha256",
                     Fixtures::Rfc3161(f.time_stamper, f.now));
     },
     kTrustValid},
    {"LegacyTimestamp",
     [](Fixtures& f) {
       return f.Sign("legacy.exe", PeFormat::kPe32Plus, {&f.signer, &f.root}, "sha256",
                     Fixtures::Legacy(f.legacy_server, f.now));
     },
     kTrustValid},
    {"ExpiredCertificateWithRfc3161TimestampFromItsValidity",
     [](Fixtures& f) {
       return f.Sign("expired-rfc3161.exe", PeFormat::kPe32, {&f.expired_signer}, "sha256",
                     Fixtures::Rfc3161(f.time_stamper, teste::UtcDate(2020, 6, 1)));
     },
     kTrustValid},
    {"ExpiredCertificateWithLegacyTimestampFromItsValidity",
     [](Fixtures& f) {
       return f.Sign("expired-legacy.exe", PeFormat::kPe32, {&f.expired_signer}, "sha256",
                     Fixtures::Legacy(f.legacy_server, teste::UtcDate(2020, 6, 1)));
     },
     kTrustValid},
};

INSTANTIATE_TEST_SUITE_P(Valid, AuthenticodeVerdictTest, testing::ValuesIn(kValidSignatures),
                         CaseName);

const VerdictCase kFaultyFiles[] = {
    {"Unsigned", [](Fixtures& f) { return f.Path("pe32.exe"); }, kTrustNoSignature},
    {"TextFile", [](Fixtures& f) { return f.Written("text.exe", "Isto não é um executável.\n"); },
     kTrustSubjectFormUnknown},
    {"EmptyFile", [](Fixtures& f) { return f.Written("empty.exe", ""); }, kTrustSubjectFormUnknown},
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
       return f.Altered(f.SignedBySigner("to-forge.exe"), "forged.exe",
                        [](std::string& file) { FlipInside(file, SignatureValue(file)); });
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
       return f.Sign("untrusted.exe", PeFormat::kPe32, {&f.stranger, &f.other_root});
     },
     kCertUntrustedRoot},
    {"IssuerNowhereToBeFound",
     [](Fixtures& f) { return f.Sign("orphan.exe", PeFormat::kPe32, {&f.stranger}); },
     kCertChaining},
    {"CertificateWithoutCodeSigningUsage",
     [](Fixtures& f) {
       return f.Sign("server.exe", PeFormat::kPe32, {&f.server, &f.root});
     },
     kCertWrongUsage},
    {"AuthorityLimitedToServerAuthentication",
     [](Fixtures& f) {
       return f.Sign("misplaced.exe", PeFormat::kPe32, {&f.misplaced_signer, &f.server_authority});
     },
     kCertWrongUsage, Osslsigncode::kIgnoresUsageLimits},
    {"KeyLimitedToEncipherment",
     [](Fixtures& f) {
       return f.Sign("encipherment.exe", PeFormat::kPe32, {&f.encipherment_signer});
     },
     kCertWrongUsage, Osslsigncode::kIgnoresUsageLimits},
    {"CertificateNotYetValid",
     [](Fixtures& f) { return f.Sign("future.exe", PeFormat::kPe32, {&f.future_signer}); },
     kCertExpired},
    {"ExpiredCertificateWithoutTimestamp",
     [](Fixtures& f) { return f.Sign("expired.exe", PeFormat::kPe32, {&f.expired_signer}); },
     kCertExpired},
    {"ExpiredCertificateWithTimestampAfterItsValidity",
     [](Fixtures& f) {
       return f.Sign("expired-late.exe", PeFormat::kPe32, {&f.expired_signer}, "sha256",
                     Fixtures::Rfc3161(f.time_stamper, teste::UtcDate(2022, 6, 1)));
     },
     kCertExpired},
    {"TimestampByUntrustedAuthority",
     [](Fixtures& f) {
       return f.Sign("stranger-stamped.exe", PeFormat::kPe32, {&f.signer, &f.root}, "sha256",
                     Fixtures::Rfc3161(f.strange_time_stamper, f.now));
     },
     kTrustTimeStamp, Osslsigncode::kIgnoresTheTimestamp},
    {"TimestampBySignerWithoutTimeStampingUsage",
     [](Fixtures& f) {
       return f.Sign("self-stamped.exe", PeFormat::kPe32Plus, {&f.signer, &f.root}, "sha256",
                     Fixtures::Legacy(f.legacy_server_by_signer, f.now));
     },
     kTrustTimeStamp, Osslsigncode::kIgnoresTheTimestamp},
    {"TimestampForAnotherSignature",
     [](Fixtures& f) {
       return f.Altered(
           f.Sign("to-restamp.exe", PeFormat::kPe32, {&f.signer, &f.root}, "sha256",
                  Fixtures::Rfc3161(f.time_stamper, f.now)),
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

class AuthenticodePathTest : public SignedImagesTest {};

TEST_F(AuthenticodePathTest, TakesWindowsSeparatorsAndAnyLetterCase) {
  const std::filesystem::path file = fixtures_->SignedBySigner("Assinado.exe");
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
  int32_t Run(int32_t code, const std::filesystem::path& file) {
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
  const std::filesystem::path file = fixtures_->SignedBySigner("tarefa-assinado.exe");
  EXPECT_EQ(Run(kVerificarValidadeArquivo, file), 0);
  for (const std::string& line : installation_.LinhasRegistro()) {
    EXPECT_EQ(line.find("Assinatura"), std::string::npos) << line;
  }
}

TEST_F(VerificationTaskTest, EveryRefusedFileIsLoggedWithItsCode) {
  for (const VerdictCase& refused : kFaultyFiles) {
    std::filesystem::remove(installation_.Pasta().Em("registro.log"));
    const std::filesystem::path file = refused.make(*fixtures_);
    EXPECT_EQ(Run(kVerificarValidadeArquivo, file), 1) << refused.name;
    EXPECT_EQ(Run(kVerificarArquivoOriginal, file), 0) << refused.name;
    const std::vector<std::string> lines = installation_.LinhasRegistro();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         teste::LinhaErro(SignatureLine(file, refused.expected))),
              1)
        << refused.name;
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         teste::LinhaAviso(SignatureLine(file, refused.expected))),
              1)
        << refused.name;
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
