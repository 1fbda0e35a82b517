#include "platform/posix/authenticode/image_signature.h"

#include <openssl/err.h>
#include <openssl/objects.h>

#include <algorithm>
#include <ctime>
#include <optional>
#include <span>
#include <vector>

#include "platform/authenticode.h"
#include "platform/posix/authenticode/certificate_table.h"
#include "platform/posix/authenticode/chain_check.h"
#include "platform/posix/authenticode/digest_algorithm.h"
#include "platform/posix/authenticode/image_digest.h"
#include "platform/posix/authenticode/openssl_ptr.h"
#include "platform/posix/authenticode/pe_layout.h"
#include "platform/posix/authenticode/signer_check.h"
#include "platform/posix/authenticode/spc_indirect_data.h"
#include "platform/posix/authenticode/timestamp_check.h"

namespace tarvik::platform {
namespace {

// SPC_INDIRECT_DATA_OBJID: the content type of every Authenticode signature.
constexpr char kSpcIndirectDataContent[] = "1.3.6.1.4.1.311.2.1.4";

// OpenSSL leaves the reasons for every refusal in the thread's error queue;
// they are answered here as codes, so they must not linger for the next
// OpenSSL user on this thread.
class ErrorQueueCleaner {
 public:
  ErrorQueueCleaner() = default;
  ~ErrorQueueCleaner() { ERR_clear_error(); }
  ErrorQueueCleaner(const ErrorQueueCleaner&) = delete;
  ErrorQueueCleaner& operator=(const ErrorQueueCleaner&) = delete;
};

// The DER encoding of the signed content, when it is an SpcIndirectDataContent.
std::optional<std::span<const uint8_t>> IndirectDataEncoding(const PKCS7* signature,
                                                             const ASN1_OBJECT* contentType) {
  if (!PKCS7_type_is_signed(signature) || signature->d.sign == nullptr) return std::nullopt;
  const PKCS7* content = signature->d.sign->contents;
  if (content == nullptr || OBJ_cmp(content->type, contentType) != 0 ||
      content->d.other == nullptr || content->d.other->type != V_ASN1_SEQUENCE) {
    return std::nullopt;
  }
  const ASN1_STRING* encoding = content->d.other->value.sequence;
  return std::span<const uint8_t>(ASN1_STRING_get0_data(encoding),
                                  static_cast<size_t>(ASN1_STRING_length(encoding)));
}

const EVP_MD* ImageDigestAlgorithm(std::span<const uint8_t> oidEncoding) {
  const unsigned char* cursor = oidEncoding.data();
  const Asn1ObjectPtr oid(d2i_ASN1_OBJECT(nullptr, &cursor, static_cast<long>(oidEncoding.size())));
  return AcceptedDigest(oid.get());
}

int32_t VerifySignedData(ByteSource& image, const PeLayout& layout,
                         std::span<const uint8_t> signedData) {
  if (signedData.empty()) return kTrustNoSignature;
  const unsigned char* cursor = signedData.data();
  const Pkcs7Ptr signature(d2i_PKCS7(nullptr, &cursor, static_cast<long>(signedData.size())));
  const Asn1ObjectPtr contentType(OBJ_txt2obj(kSpcIndirectDataContent, 1));
  if (!signature) return kTrustNoSignature;
  const auto encoding = IndirectDataEncoding(signature.get(), contentType.get());
  if (!encoding) return kTrustNoSignature;
  const auto indirect = ParseSpcIndirectData(*encoding);
  PKCS7_SIGNED* signedPart = signature->d.sign;
  if (!indirect || sk_PKCS7_SIGNER_INFO_num(signedPart->signer_info) != 1) {
    return kTrustNoSignature;
  }

  // The signer's message digest covers the content without its own tag and
  // length.
  PKCS7_SIGNER_INFO* signer = sk_PKCS7_SIGNER_INFO_value(signedPart->signer_info, 0);
  const SignerCheck signerCheck =
      CheckSigner(signer, signedPart->cert, indirect->content, contentType.get());
  if (signerCheck.verdict == SignerVerdict::kNoCertificate ||
      signerCheck.verdict == SignerVerdict::kMalformed) {
    return kTrustNoSignature;
  }
  if (signerCheck.verdict != SignerVerdict::kValid) return kTrustBadDigest;

  // A signature made for another kind of object cannot vouch for this image.
  const EVP_MD* md = ImageDigestAlgorithm(indirect->digest_algorithm);
  if (!std::ranges::equal(indirect->data_type, kPeImageDataType) || md == nullptr ||
      !std::ranges::equal(ImageDigest(image, layout, md), indirect->digest)) {
    return kTrustBadDigest;
  }

  const X509StorePtr store(X509_STORE_new());
  if (!store) return kCertChaining;
  // A missing file or folder leaves the store empty: nothing is trusted.
  X509_STORE_set_default_paths(store.get());
  const TimestampCheck timestamp = CheckTimestamp(signer, signedPart->cert, store.get());
  if (timestamp.state == TimestampCheck::State::kInvalid) return kTrustTimeStamp;
  const std::time_t at =
      timestamp.state == TimestampCheck::State::kValid ? timestamp.time : std::time(nullptr);
  return CheckChain(store.get(), signerCheck.certificate, signedPart->cert, at,
                    KeyPurpose::kCodeSigning);
}

}  // namespace

int32_t VerifyImageSignature(ByteSource& image) {
  const ErrorQueueCleaner cleaner;
  const auto layout = ReadPeLayout(image);
  if (!layout) return kTrustSubjectFormUnknown;
  if (!CertificateTableFits(*layout, image.Size())) return kTrustNoSignature;
  const auto signedData = ReadSignedData(image, *layout);
  if (!signedData) return kTrustNoSignature;
  return VerifySignedData(image, *layout, *signedData);
}

}  // namespace tarvik::platform
