#ifndef TARVIK_PLATFORM_POSIX_IN_USE_H_
#define TARVIK_PLATFORM_POSIX_IN_USE_H_

#include <string>

namespace tarvik::platform {

// True when a process other than this one has the file at `nativePath` open
// or mapped, found through /proc. Only the processes this one may inspect
// are seen. A missing file is not in use.
bool IsInUseByOtherProcess(const std::string& nativePath);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_IN_USE_H_
