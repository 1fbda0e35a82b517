#include "platform/posix/authenticode/timestamp_check.h"

#include <openssl/objects.h>
#include <openssl/ts.h>

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "platform/authenticode.h"
#include "platform/posix/authenticode/chain_check.h"
#include "platform/posix/authenticode/digest_algorithm.h"
#include "platform/posix/authenticode/openssl_ptr.h"
#include "platform/posix/authenticode/signer_check.h"

namespace tarvik::platform {
namespace {

using State = TimestampCheck::State;

// szOID_RFC3161_counterSign: an RFC 3161 token as an unsigned attribute.
constexpr char kRfc3161CounterSignature[] = "1.3.6.1.4.1.311.3.3.1";

std::span<const uint8_t> Bytes(const ASN1_STRING* text) {
  return {ASN1_STRING_get0_data(text), static_cast<size_t>(ASN1_STRING_length(text))};
}

// The DER bytes of the first value of `signer`'s unsigned attribute `type`,
// when there is one and it is a SEQUENCE.
std::optional<std::span<const uint8_t>> UnsignedSequence(PKCS7_SIGNER_INFO* signer,
                                                         const ASN1_OBJECT* type) {
  STACK_OF(X509_ATTRIBUTE)* attributes = signer->unauth_attr;
  for (int i = 0; attributes != nullptr && i < sk_X509_ATTRIBUTE_num(attributes); ++i) {
    X509_ATTRIBUTE* attribute = sk_X509_ATTRIBUTE_value(attributes, i);
    if (OBJ_cmp(X509_ATTRIBUTE_get0_object(attribute), type) != 0) continue;
    const ASN1_TYPE* value = X509_ATTRIBUTE_get0_type(attribute, 0);
    if (value == nullptr || value->type != V_ASN1_SEQUENCE) return std::span<const uint8_t>{};
    return Bytes(value->value.sequence);
  }
  return std::nullopt;
}

std::optional<std::time_t> ToTime(const ASN1_TIME* time) {
  std::tm parts{};
  if (time == nullptr || ASN1_TIME_to_tm(time, &parts) != 1) return std::nullopt;
  return timegm(&parts);
}

bool ImprintCovers(const X509_ALGOR* algorithm, const ASN1_OCTET_STRING* imprint,
                   PKCS7_SIGNER_INFO* signer) {
  const EVP_MD* md = algorithm == nullptr ? nullptr : AcceptedDigest(algorithm->algorithm);
  if (md == nullptr || imprint == nullptr || signer->enc_digest == nullptr) return false;
  return std::ranges::equal(Digest(md, Bytes(signer->enc_digest)), Bytes(imprint));
}

TimestampCheck Verified(X509_STORE* store, const SignerCheck& check, STACK_OF(X509) * certificates,
                        std::optional<std::time_t> time) {
  if (check.verdict != SignerVerdict::kValid || !time ||
      CheckChain(store, check.certificate, certificates, *time, KeyPurpose::kTimeStamping) !=
          kTrustValid) {
    return {State::kInvalid, 0};
  }
  return {State::kValid, *time};
}

// An RFC 3161 token: a SignedData over a TSTInfo whose message imprint is the
// digest of the outer signature value.
TimestampCheck CheckRfc3161(std::span<const uint8_t> der, PKCS7_SIGNER_INFO* signer,
                            X509_STORE* store) {
  if (der.empty()) return {State::kInvalid, 0};
  const unsigned char* cursor = der.data();
  const Pkcs7Ptr token(d2i_PKCS7(nullptr, &cursor, static_cast<long>(der.size())));
  if (!token || !PKCS7_type_is_signed(token.get()) || token->d.sign == nullptr)
    return {State::kInvalid, 0};
  PKCS7_SIGNED* signedData = token->d.sign;
  const PKCS7* content = signedData->contents;
  if (content == nullptr || OBJ_obj2nid(content->type) != NID_id_smime_ct_TSTInfo ||
      content->d.other == nullptr || content->d.other->type != V_ASN1_OCTET_STRING ||
      sk_PKCS7_SIGNER_INFO_num(signedData->signer_info) != 1) {
    return {State::kInvalid, 0};
  }
  const std::span<const uint8_t> tst = Bytes(content->d.other->value.octet_string);
  const unsigned char* tstCursor = tst.data();
  const TstInfoPtr info(d2i_TS_TST_INFO(nullptr, &tstCursor, static_cast<long>(tst.size())));
  if (!info) return {State::kInvalid, 0};
  TS_MSG_IMPRINT* imprint = TS_TST_INFO_get_msg_imprint(info.get());
  if (imprint == nullptr ||
      !ImprintCovers(TS_MSG_IMPRINT_get_algo(imprint), TS_MSG_IMPRINT_get_msg(imprint), signer)) {
    return {State::kInvalid, 0};
  }
  const SignerCheck check = CheckSigner(sk_PKCS7_SIGNER_INFO_value(signedData->signer_info, 0),
                                        signedData->cert, tst, content->type);
  return Verified(store, check, signedData->cert, ToTime(TS_TST_INFO_get_time(info.get())));
}

// A PKCS#9 countersignature: a SignerInfo whose content is the outer
// signature value, stating its time in the signing-time attribute.
TimestampCheck CheckPkcs9(std::span<const uint8_t> der, PKCS7_SIGNER_INFO* signer,
                          STACK_OF(X509) * certificates, X509_STORE* store) {
  if (der.empty()) return {State::kInvalid, 0};
  const unsigned char* cursor = der.data();
  const SignerInfoPtr counter(
      d2i_PKCS7_SIGNER_INFO(nullptr, &cursor, static_cast<long>(der.size())));
  if (!counter || signer->enc_digest == nullptr) return {State::kInvalid, 0};
  const SignerCheck check =
      CheckSigner(counter.get(), certificates, Bytes(signer->enc_digest), nullptr);
  const ASN1_TYPE* signingTime = PKCS7_get_signed_attribute(counter.get(), NID_pkcs9_signingTime);
  std::optional<std::time_t> time;
  if (signingTime != nullptr &&
      (signingTime->type == V_ASN1_UTCTIME || signingTime->type == V_ASN1_GENERALIZEDTIME)) {
    time = ToTime(signingTime->value.utctime);
  }
  return Verified(store, check, certificates, time);
}

}  // namespace

TimestampCheck CheckTimestamp(PKCS7_SIGNER_INFO* signer, STACK_OF(X509) * certificates,
                              X509_STORE* store) {
  const Asn1ObjectPtr rfc3161(OBJ_txt2obj(kRfc3161CounterSignature, 1));
  if (const auto token = UnsignedSequence(signer, rfc3161.get())) {
    return CheckRfc3161(*token, signer, store);
  }
  if (const auto counter = UnsignedSequence(signer, OBJ_nid2obj(NID_pkcs9_countersignature))) {
    return CheckPkcs9(*counter, signer, certificates, store);
  }
  return {};
}

}  // namespace tarvik::platform
