#ifndef TARVIK_PLATFORM_SYSTEM_INFO_H_
#define TARVIK_PLATFORM_SYSTEM_INFO_H_

#include <cstdint>
#include <string>

namespace tarvik::platform {

// The short version record (OSVERSIONINFOA).
struct VersionRecord {
  int32_t majorVersion = 0;
  int32_t minorVersion = 0;
  int32_t buildNumber = 0;
  int32_t platformId = 0;
  // The record's 128-character service-pack text, NULs included.
  std::string servicePack;
};

// The extended version record (OSVERSIONINFOEXA).
struct VersionRecordEx : VersionRecord {
  uint16_t servicePackMajor = 0;
  uint16_t servicePackMinor = 0;
  uint16_t suiteMask = 0;
  uint8_t productType = 0;
};

// The system-information records, behind an visual so that tests can
// give any system. On POSIX they come from uname and /etc/os-release:
// architecture codes 0 x86, 9 x64, 12 ARM64, 5 ARM; major and minor from the
// kernel release; the readable system name as the service-pack text.
class SystemInfoSource {
 public:
  virtual ~SystemInfoSource() = default;
  // The processor-architecture field of GetSystemInfo.
  virtual uint16_t ProcessorArchitecture() const = 0;
  // GetVersionExA with the short record; false when the read fails.
  virtual bool ReadVersion(VersionRecord& record) const = 0;
  // GetVersionExA with the extended record; false when the read fails.
  virtual bool ReadVersionEx(VersionRecordEx& record) const = 0;
};

// The running system's records.
const SystemInfoSource& SystemInformation();

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_SYSTEM_INFO_H_
