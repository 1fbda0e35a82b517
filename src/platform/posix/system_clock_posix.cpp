#include <ctime>

#include "platform/system_clock.h"

namespace tarvik::platform {

DataHora SystemLocalNow() {
  const std::time_t agora = std::time(nullptr);
  std::tm local{};
  localtime_r(&agora, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace tarvik::platform
