#ifndef TARVIK_PLATFORM_SYSTEM_CLOCK_H_
#define TARVIK_PLATFORM_SYSTEM_CLOCK_H_

#include "base/data_hora.h"

namespace tarvik::platform {

// The system's current local date and time. Use `LocalNow` instead, which
// tests can set.
DataHora SystemLocalNow();

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_SYSTEM_CLOCK_H_
