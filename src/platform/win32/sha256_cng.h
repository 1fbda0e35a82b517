#ifndef TARVIK_PLATFORM_WIN32_SHA256_CNG_H_
#define TARVIK_PLATFORM_WIN32_SHA256_CNG_H_

#include <string>

namespace tarvik::platform {

// SHA-256 of the file at `caminho` through CNG, as 64 lower-case hexadecimal
// digits. A file that cannot be read raises its classic error; a failing
// hash provider raises 57, never a wrong digest.
std::string Sha256Hex(const std::string& caminho);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_SHA256_CNG_H_
