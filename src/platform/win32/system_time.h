#ifndef TARVIK_PLATFORM_WIN32_SYSTEM_TIME_H_
#define TARVIK_PLATFORM_WIN32_SYSTEM_TIME_H_

#include <windows.h>

#include "base/data_hora.h"

namespace tarvik::platform {

DataHora FromSystemTime(const SYSTEMTIME& time);
SYSTEMTIME ToSystemTime(const DataHora& moment);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_SYSTEM_TIME_H_
