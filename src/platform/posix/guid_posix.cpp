#include <sys/random.h>

#include <cerrno>

#include "platform/guid.h"

namespace tarvik::platform {

bool CreateGuid(Guid& guid) {
  uint8_t bytes[16];
  size_t filled = 0;
  while (filled < sizeof bytes) {
    const ssize_t got = ::getrandom(bytes + filled, sizeof bytes - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    filled += static_cast<size_t>(got);
  }
  // A random (version 4, RFC 4122 variant) GUID, as CoCreateGuid makes.
  guid.data1 = static_cast<uint32_t>(bytes[0] << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3]);
  guid.data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
  guid.data3 = static_cast<uint16_t>(((bytes[6] << 8 | bytes[7]) & 0x0FFF) | 0x4000);
  for (size_t i = 0; i < guid.data4.size(); ++i) guid.data4[i] = bytes[8 + i];
  guid.data4[0] = static_cast<uint8_t>((guid.data4[0] & 0x3F) | 0x80);
  return true;
}

}  // namespace tarvik::platform
