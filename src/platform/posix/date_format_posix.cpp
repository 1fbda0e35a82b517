#include "platform/date_format.h"

namespace tarvik::platform {

std::string FormatGeneralDateTime(const DataHora& moment) { return FormataDataHoraGeral(moment); }

}  // namespace tarvik::platform
