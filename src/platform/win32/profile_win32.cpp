#include <windows.h>

#include "platform/code_page.h"
#include "platform/profile.h"
#include "platform/win32/wide_text.h"

namespace tarvik::platform {

std::string WindowsDirectory() {
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return FromWide({folder, length});
}

// The ANSI call, as the updater has always made it, so that the value is
// cut to `bufferSize` - 1 characters of the ANSI code page as before.
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& fileName,
                              size_t bufferSize) {
  if (bufferSize == 0) return {};
  std::string value(bufferSize, '\0');
  const DWORD length =
      ::GetPrivateProfileStringA(ToAnsiCodePage(section).c_str(), ToAnsiCodePage(key).c_str(),
                                 ToAnsiCodePage(defaultValue).c_str(), value.data(),
                                 static_cast<DWORD>(bufferSize), ToAnsiCodePage(fileName).c_str());
  value.resize(length);
  return FromAnsiCodePage(value);
}

}  // namespace tarvik::platform
