#ifndef TARVIK_PLATFORM_PROCESS_H_
#define TARVIK_PLATFORM_PROCESS_H_

#include <cstdint>
#include <string>

namespace tarvik::platform {

// Folder of the running executable, without a trailing separator, unless a
// `ScopedTestProgramFolder` is in place.
std::string ProgramFolder();

// Makes `ProgramFolder` answer `folder` for its lifetime (tests only).
class ScopedTestProgramFolder {
 public:
  explicit ScopedTestProgramFolder(std::string folder);
  ~ScopedTestProgramFolder();
  ScopedTestProgramFolder(const ScopedTestProgramFolder&) = delete;
  ScopedTestProgramFolder& operator=(const ScopedTestProgramFolder&) = delete;

 private:
  std::string previous_;
};

// Folder of the running executable as the system reports it.
std::string ExecutableFolder();

// The whole text that follows the program name on the command line, without
// the blanks that separate it from the name. On POSIX the arguments are
// joined with single blanks.
std::string CommandLineArgument();

// Id of the current process.
uint32_t CurrentProcessId();

// Starts `commandLine` ("program args...") without waiting and without
// keeping its id. A bare program name is looked up in the program folder,
// then the current folder, then PATH. Show states have no POSIX meaning. A
// ".bat" program is handed to the batch runner that lies beside the updater.
// Raises 53 when the program cannot be found or started.
void StartProgram(const std::string& commandLine);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_PROCESS_H_
