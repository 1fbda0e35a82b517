#ifndef TARVIK_PLATFORM_PROFILE_H_
#define TARVIK_PLATFORM_PROFILE_H_

#include <cstddef>
#include <string>

namespace tarvik::platform {

// The "Windows directory", where profile files named without a folder are
// looked for: `WINDIR` when set, else /etc on POSIX.
std::string WindowsDirectory();

// Reads one value of a profile file the way GetPrivateProfileStringA does:
// sections and keys compared without regard to case, blanks around the
// value trimmed, one pair of matching quotes removed, the first occurrence
// wins, and the value cut to `bufferSize` - 1 characters. A `fileName`
// without a folder is looked for in the Windows directory. A missing file,
// section or key gives `defaultValue`. Never fails. The file is read in the
// ANSI code page; the result is UTF-8.
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& fileName,
                              size_t bufferSize);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_PROFILE_H_
