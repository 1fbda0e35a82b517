#ifndef TARVIK_PLATFORM_POSIX_IN_USE_H_
#define TARVIK_PLATFORM_POSIX_IN_USE_H_

#include <optional>
#include <string>

namespace tarvik::platform {

// True when a process has the file at `nativePath` open or mapped; this
// process counts too, as on Windows, where a running program's own
// executable cannot be replaced. A missing file, or anything but a regular
// file, is not in use. A lease that this process may take and gets answers
// "free"; otherwise a scan of /proc answers.
bool IsInUse(const std::string& nativePath);

// The kernel's verdict: a write lease is granted only on a file that no
// other descriptor holds open (a running program and a mapping hold theirs).
// Nothing when no lease can be taken here: a file this process neither owns
// nor may lease (CAP_LEASE), leases switched off, or a file system without
// them.
std::optional<bool> InUseByLease(const std::string& nativePath);

// The verdict of a scan of the open descriptors and mappings of every
// process in /proc; only the processes this one may inspect are seen.
bool InUseByScan(const std::string& nativePath);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_IN_USE_H_
