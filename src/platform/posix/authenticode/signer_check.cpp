#include "platform/posix/authenticode/signer_check.h"

#include <openssl/asn1t.h>
#include <openssl/crypto.h>
#include <openssl/objects.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/posix/authenticode/digest_algorithm.h"
#include "platform/posix/authenticode/openssl_ptr.h"

namespace tarvik::platform {
namespace {

struct BytesFree {
  void operator()(unsigned char* bytes) const { OPENSSL_free(bytes); }
};

X509* FindCertificate(const PKCS7_ISSUER_AND_SERIAL* id, STACK_OF(X509) * certificates) {
  if (id == nullptr || certificates == nullptr) return nullptr;
  for (int i = 0; i < sk_X509_num(certificates); ++i) {
    X509* candidate = sk_X509_value(certificates, i);
    if (X509_NAME_cmp(X509_get_issuer_name(candidate), id->issuer) == 0 &&
        ASN1_INTEGER_cmp(X509_get0_serialNumber(candidate), id->serial) == 0) {
      return candidate;
    }
  }
  return nullptr;
}

bool SignatureVerifies(PKCS7_SIGNER_INFO* signer, X509* certificate, const EVP_MD* md) {
  // The signature covers the signed attributes encoded as a SET, in the
  // order they were sent.
  unsigned char* encoded = nullptr;
  const int length = ASN1_item_i2d(reinterpret_cast<ASN1_VALUE*>(signer->auth_attr), &encoded,
                                   ASN1_ITEM_rptr(PKCS7_ATTR_VERIFY));
  const std::unique_ptr<unsigned char, BytesFree> owner(encoded);
  EVP_PKEY* key = X509_get0_pubkey(certificate);
  const ASN1_OCTET_STRING* signature = signer->enc_digest;
  if (length <= 0 || key == nullptr || signature == nullptr) return false;
  MdCtxPtr context(EVP_MD_CTX_new());
  return context && EVP_DigestVerifyInit(context.get(), nullptr, md, nullptr, key) == 1 &&
         EVP_DigestVerify(context.get(), signature->data, static_cast<size_t>(signature->length),
                          encoded, static_cast<size_t>(length)) == 1;
}

}  // namespace

SignerCheck CheckSigner(PKCS7_SIGNER_INFO* signer, STACK_OF(X509) * certificates,
                        std::span<const uint8_t> content, const ASN1_OBJECT* contentType) {
  SignerCheck check;
  check.certificate = FindCertificate(signer->issuer_and_serial, certificates);
  if (check.certificate == nullptr) {
    check.verdict = SignerVerdict::kNoCertificate;
    return check;
  }
  const EVP_MD* md =
      signer->digest_alg == nullptr ? nullptr : AcceptedDigest(signer->digest_alg->algorithm);
  const ASN1_TYPE* expected = PKCS7_get_signed_attribute(signer, NID_pkcs9_messageDigest);
  if (md == nullptr || expected == nullptr || expected->type != V_ASN1_OCTET_STRING) return check;

  check.verdict = SignerVerdict::kMismatch;
  if (contentType != nullptr) {
    const ASN1_TYPE* type = PKCS7_get_signed_attribute(signer, NID_pkcs9_contentType);
    if (type == nullptr || type->type != V_ASN1_OBJECT ||
        OBJ_cmp(type->value.object, contentType) != 0) {
      return check;
    }
  }
  const std::vector<uint8_t> digest = Digest(md, content);
  const ASN1_OCTET_STRING* value = expected->value.octet_string;
  const std::span<const uint8_t> stated(value->data, static_cast<size_t>(value->length));
  if (!std::ranges::equal(digest, stated)) return check;
  if (!SignatureVerifies(signer, check.certificate, md)) return check;
  check.verdict = SignerVerdict::kValid;
  return check;
}

}  // namespace tarvik::platform
