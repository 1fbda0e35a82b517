#include <windows.h>

#include "platform/system_clock.h"
#include "platform/win32/system_time.h"

namespace tarvik::platform {

DataHora SystemLocalNow() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return FromSystemTime(now);
}

}  // namespace tarvik::platform
