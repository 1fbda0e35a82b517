#ifndef TARVIK_PLATFORM_INSTALLATION_LOCK_H_
#define TARVIK_PLATFORM_INSTALLATION_LOCK_H_

#include <cstdint>
#include <string>

namespace tarvik::platform {

// An exclusive lock on one installation, held through a lock file, so that
// two updaters started together (a double click) never work on the same
// files at once. The system releases it when the process ends, however it
// ends, so a killed run never blocks the next one. A link or a folder at the
// lock file's path is refused (75), never followed; the lock is not passed
// on to programs the updater starts.
class InstallationLock {
 public:
  // Opens `path`, creating the file when missing; raises `Erro` when it
  // cannot be opened.
  explicit InstallationLock(const std::string& path);
  ~InstallationLock();
  InstallationLock(const InstallationLock&) = delete;
  InstallationLock& operator=(const InstallationLock&) = delete;

  // Takes the lock when it is free now; false when another process holds it.
  bool TryAcquire();
  // Waits until the lock is free and takes it.
  void Acquire();

 private:
  std::string path_;
  // The open lock file: a descriptor on POSIX, a HANDLE on Windows.
  intptr_t handle_;
};

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_INSTALLATION_LOCK_H_
