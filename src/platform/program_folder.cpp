#include <string>
#include <utility>

#include "platform/process.h"

namespace tarvik::platform {
namespace {

std::string& TestFolder() {
  static std::string folder;
  return folder;
}

}  // namespace

std::string ProgramFolder() {
  const std::string& test = TestFolder();
  if (!test.empty()) return test;
  // Asked for by every log line: the system is asked once, since the
  // program does not move while it runs.
  static const std::string folder = ExecutableFolder();
  return folder;
}

ScopedTestProgramFolder::ScopedTestProgramFolder(std::string folder)
    : previous_(std::exchange(TestFolder(), std::move(folder))) {}

ScopedTestProgramFolder::~ScopedTestProgramFolder() { TestFolder() = std::move(previous_); }

}  // namespace tarvik::platform
