#ifndef TARVIK_PLATFORM_POSIX_CASE_INDEX_H_
#define TARVIK_PLATFORM_POSIX_CASE_INDEX_H_

#include <optional>
#include <string>
#include <string_view>

namespace tarvik::platform {

// The entry of the folder `folder` (a native path; empty for the current
// folder) whose name equals `name` without regard to case, as a listing of
// the folder made now would find it; nothing when there is none or the
// folder cannot be read. With several such entries, any one of them. Safe
// to call from several threads.
std::optional<std::string> FindCaseVariant(const std::string& folder, std::string_view name);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_CASE_INDEX_H_
