#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_OPENSSL_PTR_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_OPENSSL_PTR_H_

#include <openssl/evp.h>
#include <openssl/pkcs7.h>
#include <openssl/ts.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <memory>

namespace tarvik::platform {

// Owners of OpenSSL objects, each freed with its own function.
template <auto Free>
struct OpenSslFree {
  template <typename T>
  void operator()(T* object) const {
    Free(object);
  }
};

using Pkcs7Ptr = std::unique_ptr<PKCS7, OpenSslFree<PKCS7_free>>;
using SignerInfoPtr = std::unique_ptr<PKCS7_SIGNER_INFO, OpenSslFree<PKCS7_SIGNER_INFO_free>>;
using TstInfoPtr = std::unique_ptr<TS_TST_INFO, OpenSslFree<TS_TST_INFO_free>>;
using X509StorePtr = std::unique_ptr<X509_STORE, OpenSslFree<X509_STORE_free>>;
using X509StoreCtxPtr = std::unique_ptr<X509_STORE_CTX, OpenSslFree<X509_STORE_CTX_free>>;
using MdCtxPtr = std::unique_ptr<EVP_MD_CTX, OpenSslFree<EVP_MD_CTX_free>>;
using Asn1ObjectPtr = std::unique_ptr<ASN1_OBJECT, OpenSslFree<ASN1_OBJECT_free>>;

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_OPENSSL_PTR_H_
