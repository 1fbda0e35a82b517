#include <windows.h>

#include "platform/code_page.h"
#include "platform/system_info.h"

namespace tarvik::platform {
namespace {

// The records exactly as the system gives them to a 32-bit program: the
// version an un-manifested program is shown, and the processor
// architecture of GetSystemInfo, which under WOW64 is x86 (0) even on a
// 64-bit system.
class Win32SystemInfo : public SystemInfoSource {
 public:
  uint16_t ProcessorArchitecture() const override {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.wProcessorArchitecture;
  }

  bool ReadVersion(VersionRecord& record) const override {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExA(&info)) return false;
    Fill(info, record);
    return true;
  }

  bool ReadVersionEx(VersionRecordEx& record) const override {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
    Fill(info, record);
    record.servicePackMajor = info.wServicePackMajor;
    record.servicePackMinor = info.wServicePackMinor;
    record.suiteMask = info.wSuiteMask;
    record.productType = info.wProductType;
    return true;
  }

 private:
  template <typename Info>
  static void Fill(const Info& info, VersionRecord& record) {
    record.majorVersion = static_cast<int32_t>(info.dwMajorVersion);
    record.minorVersion = static_cast<int32_t>(info.dwMinorVersion);
    record.buildNumber = static_cast<int32_t>(info.dwBuildNumber);
    record.platformId = static_cast<int32_t>(info.dwPlatformId);
    // The whole field, NULs included, in UTF-8 like every text inside.
    record.servicePack = FromAnsiCodePage({info.szCSDVersion, sizeof info.szCSDVersion});
  }
};

}  // namespace

const SystemInfoSource& SystemInformation() {
  static const Win32SystemInfo kInfo;
  return kInfo;
}

}  // namespace tarvik::platform
