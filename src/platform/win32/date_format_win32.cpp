#include <windows.h>

#include "platform/date_format.h"
#include "platform/win32/system_time.h"
#include "platform/win32/wide_text.h"

namespace tarvik::platform {
namespace {

using LocaleFormat = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int);

// One of the user's regional formats of `time`; empty when the system
// cannot format it.
std::string Format(LocaleFormat format, DWORD flags, const SYSTEMTIME& time) {
  const int needed = format(LOCALE_USER_DEFAULT, flags, &time, nullptr, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring text(static_cast<size_t>(needed), L'\0');
  const int written = format(LOCALE_USER_DEFAULT, flags, &time, nullptr, text.data(), needed);
  if (written <= 0) return {};
  text.resize(static_cast<size_t>(written - 1));
  return FromWide(text);
}

}  // namespace

std::string FormatGeneralDateTime(const DataHora& moment) {
  // A moment the system refuses to format (no valid date) is still logged,
  // in the fixed form.
  const SYSTEMTIME time = ToSystemTime(moment);
  const std::string date = Format(::GetDateFormatW, DATE_SHORTDATE, time);
  if (date.empty()) return FormataDataHoraGeral(moment);
  if (moment.hora == 0 && moment.minuto == 0 && moment.segundo == 0) return date;
  const std::string timeOfDay = Format(::GetTimeFormatW, 0, time);
  if (timeOfDay.empty()) return FormataDataHoraGeral(moment);
  return date + " " + timeOfDay;
}

}  // namespace tarvik::platform
