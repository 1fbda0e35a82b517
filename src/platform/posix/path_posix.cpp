#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <string>
#include <string_view>

#include "base/texto.h"
#include "platform/files.h"

namespace tarvik::platform {
namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose name equals `name` without regard to case;
// `name` itself when there is none.
std::string MatchEntry(const std::string& folder, std::string_view name) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                          ::closedir);
  if (!dir) return std::string(name);
  while (const dirent* entry = ::readdir(dir.get())) {
    if (IgualSemCaixa(entry->d_name, name)) return entry->d_name;
  }
  return std::string(name);
}

}  // namespace

std::string NativePath(std::string_view path) {
  std::string native(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  if (native.empty() || Exists(native)) return native;

  // Walk the components; once one is missing, the rest cannot exist either
  // and stay as given.
  std::string resolved;
  size_t start = 0;
  if (native[0] == '/') {
    resolved = "/";
    start = 1;
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
      if (resolving && !Exists(candidate) && component != "." && component != "..") {
        candidate = folder + MatchEntry(folder, component);
        resolving = Exists(candidate);
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
