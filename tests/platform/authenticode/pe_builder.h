#ifndef TARVIK_TESTS_PLATFORM_AUTHENTICODE_PE_BUILDER_H_
#define TARVIK_TESTS_PLATFORM_AUTHENTICODE_PE_BUILDER_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvik::teste {

enum class PeFormat { kPe32, kPe32Plus };

// Writes `value` little-endian in `size` bytes at `at`.
void PutLe(std::string& image, size_t at, uint32_t value, size_t size = 4);

// Offset of the security directory entry in the images `BuildPeImage` makes.
uint32_t SecurityEntryOffset(PeFormat format);

// A minimal PE image: the headers with only what signing and verifying
// read, and one section of `code_size` bytes (rounded up to 512) filled with
// a pattern.
std::string BuildPeImage(PeFormat format, size_t code_size);

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_PLATFORM_AUTHENTICODE_PE_BUILDER_H_
