#include <sys/utsname.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/system_info.h"

namespace tarvik::platform {
namespace {

constexpr int32_t kPlatformNt = 2;
constexpr uint8_t kProductWorkstation = 1;
constexpr size_t kServicePackLength = 128;

uint16_t ArchitectureCode(std::string_view machine) {
  if (machine == "x86_64") return 9;
  if (machine == "aarch64" || machine == "arm64") return 12;
  if (machine.starts_with("arm")) return 5;
  if (machine.size() == 4 && machine[0] == 'i' && machine.substr(2) == "86") return 0;
  return 0xFFFF;  // unknown, as Windows reports it
}

// PRETTY_NAME of /etc/os-release, unquoted; "Linux" when there is none.
std::string SystemName() {
  std::ifstream file("/etc/os-release");
  for (std::string line; std::getline(file, line);) {
    constexpr std::string_view kKey = "PRETTY_NAME=";
    if (!line.starts_with(kKey)) continue;
    std::string value = line.substr(kKey.size());
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    if (!value.empty()) return value;
  }
  return "Linux";
}

class PosixSystemInfo : public SystemInfoSource {
 public:
  uint16_t ProcessorArchitecture() const override {
    utsname names{};
    return ::uname(&names) == 0 ? ArchitectureCode(names.machine) : 0xFFFF;
  }

  bool ReadVersion(VersionRecord& record) const override {
    utsname names{};
    if (::uname(&names) != 0) return false;
    int major = 0, minor = 0, patch = 0;
    std::sscanf(names.release, "%d.%d.%d", &major, &minor, &patch);
    record.majorVersion = major;
    record.minorVersion = minor;
    record.buildNumber = patch;
    record.platformId = kPlatformNt;
    // The record's fixed text field: at most 127 characters, NUL-padded.
    record.servicePack = SystemName().substr(0, kServicePackLength - 1);
    record.servicePack.resize(kServicePackLength, '\0');
    return true;
  }

  bool ReadVersionEx(VersionRecordEx& record) const override {
    if (!ReadVersion(record)) return false;
    record.servicePackMajor = 0;
    record.servicePackMinor = 0;
    record.suiteMask = 0;
    record.productType = kProductWorkstation;
    return true;
  }
};

}  // namespace

const SystemInfoSource& SystemInformation() {
  static const PosixSystemInfo kInfo;
  return kInfo;
}

}  // namespace tarvik::platform
