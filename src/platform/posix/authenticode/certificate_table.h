#ifndef TARVIK_PLATFORM_POSIX_AUTHENTICODE_CERTIFICATE_TABLE_H_
#define TARVIK_PLATFORM_POSIX_AUTHENTICODE_CERTIFICATE_TABLE_H_

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/posix/authenticode/byte_source.h"
#include "platform/posix/authenticode/pe_layout.h"

namespace tarvik::platform {

// True when the certificate table is not empty and lies between the security
// entry and the end of the image, so that the digest can skip it.
bool CertificateTableFits(const PeLayout& layout, uint64_t imageSize);

// The PKCS#7 SignedData bytes of the first WIN_CERTIFICATE entry of revision
// 2.0 and type PKCS signed data in a table that fits. nullopt when no such
// entry lies whole within the table, or when it is larger than any real
// signature. Raises `Erro` only when the bytes cannot be read.
std::optional<std::vector<uint8_t>> ReadSignedData(ByteSource& image, const PeLayout& layout);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_AUTHENTICODE_CERTIFICATE_TABLE_H_
