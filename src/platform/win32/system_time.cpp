#include "platform/win32/system_time.h"

namespace tarvik::platform {

DataHora FromSystemTime(const SYSTEMTIME& time) {
  return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

SYSTEMTIME ToSystemTime(const DataHora& moment) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(moment.ano);
  time.wMonth = static_cast<WORD>(moment.mes);
  time.wDayOfWeek = static_cast<WORD>(moment.DiaDaSemana());
  time.wDay = static_cast<WORD>(moment.dia);
  time.wHour = static_cast<WORD>(moment.hora);
  time.wMinute = static_cast<WORD>(moment.minuto);
  time.wSecond = static_cast<WORD>(moment.segundo);
  return time;
}

}  // namespace tarvik::platform
