#ifndef TARVIK_PLATFORM_GUID_H_
#define TARVIK_PLATFORM_GUID_H_

#include <array>
#include <cstdint>

namespace tarvik::platform {

struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  std::array<uint8_t, 8> data4{};
};

// A new random GUID; false when the system could not make one.
bool CreateGuid(Guid& guid);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_GUID_H_
