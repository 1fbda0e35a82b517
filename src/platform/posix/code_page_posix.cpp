#include "base/cp1252.h"
#include "platform/code_page.h"

namespace tarvik::platform {

std::string ToAnsiCodePage(std::string_view utf8) { return ParaCp1252(utf8); }

std::string FromAnsiCodePage(std::string_view bytes) { return DeCp1252(bytes); }

}  // namespace tarvik::platform
