#include "legacy_timestamp_server.h"

#include <openssl/asn1.h>
#include <openssl/evp.h>
#include <openssl/pkcs7.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace tarvik::teste {
namespace {

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

std::string EncodeBase64(const std::vector<unsigned char>& bytes) {
  std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes.data(),
                                     static_cast<int>(bytes.size()));
  text.resize(static_cast<size_t>(length));
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

std::vector<unsigned char> Countersign(const TestIdentity& authority,
                                       const std::vector<unsigned char>& content,
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
  std::vector<unsigned char> bytes(der, der + std::max(length, 0));
  OPENSSL_free(der);
  return bytes;
}

}  // namespace

LegacyTimestampServer::LegacyTimestampServer(const TestIdentity& authority) {
  http_.Http().Post(R"(/(\d+))", [&authority](const httplib::Request& request,
                                              httplib::Response& response) {
    try {
      const std::time_t time = std::stoll(request.matches[1].str());
      response.set_content(EncodeBase64(Countersign(
                               authority, CountersignedBytes(DecodeBase64(request.body)), time)),
                           "application/octet-stream");
    } catch (const std::exception& error) {
      response.status = 400;
      response.set_content(error.what(), "text/plain");
    }
  });
  http_.Inicia();
}

}  // namespace tarvik::teste
