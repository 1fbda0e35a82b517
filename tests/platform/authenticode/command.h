#ifndef TARVIK_TESTS_PLATFORM_AUTHENTICODE_COMMAND_H_
#define TARVIK_TESTS_PLATFORM_AUTHENTICODE_COMMAND_H_

#include <string>
#include <vector>

namespace tarvik::teste {

struct CommandResult {
  int exit_code = -1;  // -1 when the program could not run or was killed
  std::string output;  // standard output and error, interleaved
};

// Runs `arguments[0]`, looked up in PATH, with the rest as its arguments, and
// waits for it.
CommandResult RunCommand(const std::vector<std::string>& arguments);

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_PLATFORM_AUTHENTICODE_COMMAND_H_
