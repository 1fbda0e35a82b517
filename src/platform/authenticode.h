#ifndef TARVIK_PLATFORM_AUTHENTICODE_H_
#define TARVIK_PLATFORM_AUTHENTICODE_H_

#include <cstdint>
#include <string_view>

namespace tarvik::platform {

// HRESULTs that WinVerifyTrust gives, so that an administrator can look
// them up.
inline constexpr int32_t kTrustValid = 0;
inline constexpr int32_t kTrustNoSignature = static_cast<int32_t>(0x800B0100);
inline constexpr int32_t kTrustSubjectFormUnknown = static_cast<int32_t>(0x800B0003);
inline constexpr int32_t kTrustBadDigest = static_cast<int32_t>(0x80096010);
// TRUST_E_CERT_SIGNATURE: a certificate's own signature does not verify.
inline constexpr int32_t kTrustCertSignature = static_cast<int32_t>(0x80096004);
// TRUST_E_TIME_STAMP: the timestamp or its certificate does not verify.
inline constexpr int32_t kTrustTimeStamp = static_cast<int32_t>(0x80096005);
inline constexpr int32_t kCertUntrustedRoot = static_cast<int32_t>(0x800B0109);
inline constexpr int32_t kCertChaining = static_cast<int32_t>(0x800B010A);
inline constexpr int32_t kCertExpired = static_cast<int32_t>(0x800B0101);
inline constexpr int32_t kCertWrongUsage = static_cast<int32_t>(0x800B0110);

// Verifies the Authenticode signature of the PE file at `path` against the
// platform's trust store. Returns one of the codes above, 0 when the
// signature is valid. Raises `Erro` only when the file cannot be read.
int32_t VerifyAuthenticode(std::string_view path);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_AUTHENTICODE_H_
