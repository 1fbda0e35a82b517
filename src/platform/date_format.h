#ifndef TARVIK_PLATFORM_DATE_FORMAT_H_
#define TARVIK_PLATFORM_DATE_FORMAT_H_

#include <string>

#include "base/data_hora.h"

namespace tarvik::platform {

// The general date format of the log: on Windows the user's short date and
// time formats, on POSIX "dd/mm/yyyy hh:mm:ss". At exactly midnight only the
// date.
std::string FormatGeneralDateTime(const DataHora& moment);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_DATE_FORMAT_H_
