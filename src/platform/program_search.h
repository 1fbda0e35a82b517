#ifndef TARVIK_PLATFORM_PROGRAM_SEARCH_H_
#define TARVIK_PLATFORM_PROGRAM_SEARCH_H_

#include <string>
#include <string_view>

namespace tarvik::platform {

// The bare-name search the updater's process start has always made: the
// program's folder, the current folder, then each folder of `searchPath`
// (PATH, its entries separated by `separator`), not the system folders that
// Windows would add. A name with a folder or a drive in it is only made
// native. Raises 53 when no folder holds a file of that name.
std::string FindProgram(const std::string& name, std::string_view searchPath, char separator);

// True for a name that ends in ".bat", in any letter case.
bool IsBatchFile(std::string_view name);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_PROGRAM_SEARCH_H_
