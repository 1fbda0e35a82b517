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
  return test.empty() ? ExecutableFolder() : test;
}

ScopedTestProgramFolder::ScopedTestProgramFolder(std::string folder)
    : previous_(std::exchange(TestFolder(), std::move(folder))) {}

ScopedTestProgramFolder::~ScopedTestProgramFolder() { TestFolder() = std::move(previous_); }

}  // namespace tarvik::platform
