#ifndef TARVIK_PLATFORM_POSIX_IN_USE_H_
#define TARVIK_PLATFORM_POSIX_IN_USE_H_

#include <string>

namespace tarvik::platform {

// True when a process has the file at `nativePath` open or mapped, found
// through /proc; this process counts too, as on Windows, where a running
// program's own executable cannot be replaced. Only the processes this one
// may inspect are seen. A missing file is not in use.
bool IsInUse(const std::string& nativePath);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_IN_USE_H_
