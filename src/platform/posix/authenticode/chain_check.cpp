#include "platform/posix/authenticode/chain_check.h"

#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include "platform/authenticode.h"
#include "platform/posix/authenticode/openssl_ptr.h"

namespace tarvik::platform {
namespace {

// Every failure the verification met; it goes on past each one so that the
// gravest can be reported whatever order OpenSSL finds them in.
struct ChainFailures {
  bool signature = false;
  bool untrustedRoot = false;
  bool chaining = false;
  bool wrongUsage = false;
  bool expired = false;

  bool Any() const { return signature || untrustedRoot || chaining || wrongUsage || expired; }
};

void Record(ChainFailures& failures, int error) {
  switch (error) {
    case X509_V_ERR_CERT_SIGNATURE_FAILURE:
    case X509_V_ERR_UNABLE_TO_DECRYPT_CERT_SIGNATURE:
    case X509_V_ERR_UNABLE_TO_DECODE_ISSUER_PUBLIC_KEY:
      failures.signature = true;
      break;
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_CERT_UNTRUSTED:
    case X509_V_ERR_CERT_REJECTED:
      failures.untrustedRoot = true;
      break;
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_CERT_NOT_YET_VALID:
      failures.expired = true;
      break;
    // A missing issuer, a CA that may not issue, malformed dates and the rest:
    // no sound chain could be built.
    default:
      failures.chaining = true;
      break;
  }
}

int RecordAndGoOn(int ok, X509_STORE_CTX* context) {
  if (!ok) {
    auto* failures = static_cast<ChainFailures*>(X509_STORE_CTX_get_app_data(context));
    Record(*failures, X509_STORE_CTX_get_error(context));
  }
  return 1;
}

uint32_t UsageBit(KeyPurpose purpose) {
  return purpose == KeyPurpose::kCodeSigning ? XKU_CODE_SIGN : XKU_TIMESTAMP;
}

bool LeafAllows(X509* leaf, KeyPurpose purpose) {
  const uint32_t flags = X509_get_extension_flags(leaf);
  if ((flags & EXFLAG_KUSAGE) && !(X509_get_key_usage(leaf) & KU_DIGITAL_SIGNATURE)) return false;
  return (flags & EXFLAG_XKUSAGE) && (X509_get_extended_key_usage(leaf) & UsageBit(purpose));
}

bool AuthorityAllows(X509* authority, KeyPurpose purpose) {
  if (!(X509_get_extension_flags(authority) & EXFLAG_XKUSAGE)) return true;
  return X509_get_extended_key_usage(authority) & (UsageBit(purpose) | XKU_ANYEKU);
}

bool ChainAllows(X509* leaf, STACK_OF(X509) * chain, KeyPurpose purpose) {
  if (!LeafAllows(leaf, purpose)) return false;
  for (int i = 1; chain != nullptr && i < sk_X509_num(chain); ++i) {
    if (!AuthorityAllows(sk_X509_value(chain, i), purpose)) return false;
  }
  return true;
}

}  // namespace

int32_t CheckChain(X509_STORE* store, X509* leaf, STACK_OF(X509) * intermediates, std::time_t at,
                   KeyPurpose purpose) {
  X509StoreCtxPtr context(X509_STORE_CTX_new());
  ChainFailures failures;
  if (!context || X509_STORE_CTX_init(context.get(), store, leaf, intermediates) != 1) {
    return kCertChaining;
  }
  X509_STORE_CTX_set_time(context.get(), 0, at);
  X509_STORE_CTX_set_app_data(context.get(), &failures);
  X509_STORE_CTX_set_verify_cb(context.get(), RecordAndGoOn);
  // A chain that could not be checked at all is no chain.
  if (X509_verify_cert(context.get()) != 1 && !failures.Any()) failures.chaining = true;
  failures.wrongUsage = !ChainAllows(leaf, X509_STORE_CTX_get0_chain(context.get()), purpose);

  if (failures.signature) return kTrustCertSignature;
  if (failures.untrustedRoot) return kCertUntrustedRoot;
  if (failures.chaining) return kCertChaining;
  if (failures.wrongUsage) return kCertWrongUsage;
  if (failures.expired) return kCertExpired;
  return kTrustValid;
}

}  // namespace tarvik::platform
