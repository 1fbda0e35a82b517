#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/posix/case_index.h"

namespace tarvik::platform {
namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

std::string NativePath(std::string_view path) {
  std::string native(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  if (native.empty() || Exists(native)) return native;

  // Walk the components; once one is missing, the rest cannot exist either
  // and stay as given. A new name in a folder that exists as written, the
  // usual case, starts the walk at that name.
  std::string resolved;
  size_t start = 0;
  if (native[0] == '/') {
    resolved = "/";
    start = 1;
  }
  const size_t lastName = native.find_last_not_of('/');
  const size_t parentEnd = lastName == std::string::npos ? lastName : native.rfind('/', lastName);
  if (parentEnd != std::string::npos && parentEnd > 0 && Exists(native.substr(0, parentEnd))) {
    // As the walk would write it: one separator between names.
    resolved.clear();
    for (size_t i = 0; i <= parentEnd; ++i) {
      if (native[i] != '/' || resolved.empty() || resolved.back() != '/') resolved += native[i];
    }
    start = parentEnd + 1;
  }
  bool resolving = true;
  while (start <= native.size()) {
    size_t end = native.find('/', start);
    if (end == std::string::npos) end = native.size();
    const std::string_view component(native.data() + start, end - start);
    if (!component.empty()) {
      if (!resolved.empty() && resolved.back() != '/') resolved += '/';
      const std::string folder = resolved.empty() ? std::string() : resolved;
      std::string candidate = folder + std::string(component);
      // (The whole path was found missing above.)
      if (resolving && (candidate == native || !Exists(candidate)) && component != "." &&
          component != "..") {
        const std::optional<std::string> variant = FindCaseVariant(folder, component);
        if (variant) candidate = folder + *variant;
        resolving = variant && Exists(candidate);
      }
      resolved = std::move(candidate);
    }
    if (end == native.size()) break;
    start = end + 1;
  }
  // Keep a trailing separator: it marks a folder for the caller.
  if (native.back() == '/' && (resolved.empty() || resolved.back() != '/')) resolved += '/';
  return resolved;
}

bool PathExists(std::string_view path) {
  struct stat info {};
  return !path.empty() && ::stat(NativePath(path).c_str(), &info) == 0;
}

}  // namespace tarvik::platform
