#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/files.h"
#include "platform/win32/wide_text.h"

namespace tarvik::platform {

// Windows matches names without regard to case by itself; only the
// separators need to be its own.
std::string NativePath(std::string_view path) {
  std::string native(path);
  std::replace(native.begin(), native.end(), '/', '\\');
  return native;
}

bool PathExists(std::string_view path) {
  return !path.empty() &&
         ::GetFileAttributesW(ToWide(NativePath(path)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace tarvik::platform
