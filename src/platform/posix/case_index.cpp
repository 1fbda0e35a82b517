#include "platform/posix/case_index.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/texto.h"
#include "platform/posix/unique_fd.h"

// Why an index kept by inotify. Windows finds a name in any letter case by
// itself; here a name that does not exist as written is looked for in its
// folder. The updater creates thousands of new names in a few folders (every
// backup, every received file), and reading the whole folder for each one
// made an update of N files read N² entries. So the names of each folder
// looked in are read once and kept, folded to one case.
//
// A kept list may only answer what a listing made now would, whoever changed
// the folder meanwhile: the kernel reports every name created, removed or
// moved in a watched folder, by this process or any other, and the reports
// are applied before each answer. The folder is known by its device and
// inode, checked on each call, so a folder renamed away and replaced at the
// same path is read anew. A folder looked in only a few times, and one where
// no watch can be set (no inotify, the watch limit reached, a child forked
// from the process that set them), is read on each call, as before.

namespace tarvik::platform {
namespace {

using Dir = std::unique_ptr<DIR, int (*)(DIR*)>;

constexpr uint32_t kChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

const char* FolderArgument(const std::string& folder) {
  return folder.empty() ? "." : folder.c_str();
}

bool IsDotEntry(std::string_view name) { return name == "." || name == ".."; }

// A folder's names, by their folded form.
class Names {
 public:
  void Add(std::string name) {
    auto& same = byFolded_[DobraCaixa(name)];
    if (std::ranges::find(same, name) == same.end()) same.push_back(std::move(name));
  }
  void Remove(const std::string& name) {
    const auto found = byFolded_.find(DobraCaixa(name));
    if (found == byFolded_.end()) return;
    std::erase(found->second, name);
    if (found->second.empty()) byFolded_.erase(found);
  }
  std::optional<std::string> Find(std::string_view name) const {
    const auto found = byFolded_.find(DobraCaixa(name));
    if (found == byFolded_.end()) return std::nullopt;
    return found->second.front();
  }

 private:
  std::unordered_map<std::string, std::vector<std::string>> byFolded_;
};

// The first entry of `folder` that matches, read from the disk.
std::optional<std::string> ListAndFind(const std::string& folder, std::string_view name) {
  const Dir dir(::opendir(FolderArgument(folder)), ::closedir);
  if (!dir) return std::nullopt;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (IgualSemCaixa(entry->d_name, name)) return entry->d_name;
  }
  return std::nullopt;
}

class CaseIndex {
 public:
  std::optional<std::string> Find(const std::string& folder, std::string_view name) {
    const std::lock_guard lock(mutex_);
    struct stat info {};
    if (::stat(FolderArgument(folder), &info) != 0) return std::nullopt;
    const std::pair inode{info.st_dev, info.st_ino};
    if (Watching()) {
      // After the stat: a folder removed before it has had its removal
      // reported by now, and is not taken for the one now at the path.
      Drain();
      if (const auto known = byInode_.find(inode); known != byInode_.end()) {
        return folders_.at(known->second).names.Find(name);
      }
    }
    // A folder looked in a few times is read each time: a watch costs more
    // than a few listings, most of it when the process ends (the kernel
    // waits about 10 ms for a grace period to free it), which a run that
    // finds no check due would feel. The folders where an update creates
    // its files are looked in thousands of times.
    if (++lookups_[inode] < kListingsBeforeWatch || !StartWatching()) {
      return ListAndFind(folder, name);
    }
    return Load(folder, name);
  }

 private:
  static constexpr int kListingsBeforeWatch = 8;

  struct Folder {
    std::pair<dev_t, ino_t> inode;
    Names names;
  };

  // A forked child shares the parent's instance: reading the reports there
  // would take them from the parent.
  bool Watching() const { return inotify_.Valid() && owner_ == ::getpid(); }

  bool StartWatching() {
    if (!tried_) {
      tried_ = true;
      inotify_ = UniqueFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
      owner_ = ::getpid();
    }
    return Watching();
  }

  std::optional<std::string> Load(const std::string& folder, std::string_view name) {
    const Dir dir(::opendir(FolderArgument(folder)), ::closedir);
    if (!dir) return std::nullopt;
    // The watch goes on the folder just opened, through its descriptor, so
    // that the watch and the listing are of one folder; and before the
    // listing, so that no change made during it goes unreported.
    const int fd = ::dirfd(dir.get());
    const int watch = ::inotify_add_watch(
        inotify_.Get(), ("/proc/self/fd/" + std::to_string(fd)).c_str(), kChanges);
    struct stat info {};
    if (::fstat(fd, &info) != 0) return std::nullopt;
    Names names;
    while (const dirent* entry = ::readdir(dir.get())) {
      if (!IsDotEntry(entry->d_name)) names.Add(entry->d_name);
    }
    std::optional<std::string> found = names.Find(name);
    if (watch >= 0) {
      const std::pair inode{info.st_dev, info.st_ino};
      folders_.insert_or_assign(watch, Folder{inode, std::move(names)});
      byInode_[inode] = watch;
    }
    return found;
  }

  // Applies the reports that have arrived.
  void Drain() {
    for (;;) {
      const ssize_t got = ::read(inotify_.Get(), buffer_.data(), buffer_.size());
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 && errno != EAGAIN) {
        // Reports may have been lost: nothing kept can be trusted.
        Forget();
        inotify_ = UniqueFd();
      }
      if (got <= 0) return;
      for (size_t at = 0; at < static_cast<size_t>(got);) {
        inotify_event event{};
        std::copy_n(buffer_.data() + at, sizeof(event), reinterpret_cast<char*>(&event));
        // The name is padded with NULs to `len`.
        const char* name = buffer_.data() + at + sizeof(event);
        Apply(event, std::string(name, ::strnlen(name, event.len)));
        at += sizeof(event) + event.len;
      }
    }
  }

  void Apply(const inotify_event& event, std::string name) {
    if (event.mask & IN_Q_OVERFLOW) {
      Forget();  // read anew on the next call
      return;
    }
    const auto folder = folders_.find(event.wd);
    if (folder == folders_.end()) return;
    if (event.mask & IN_IGNORED) {  // the folder is gone
      byInode_.erase(folder->second.inode);
      folders_.erase(folder);
    } else if (event.mask & (IN_CREATE | IN_MOVED_TO)) {
      folder->second.names.Add(std::move(name));
    } else if (event.mask & (IN_DELETE | IN_MOVED_FROM)) {
      folder->second.names.Remove(name);
    }
  }

  void Forget() {
    folders_.clear();
    byInode_.clear();
  }

  std::mutex mutex_;
  std::map<std::pair<dev_t, ino_t>, int> lookups_;
  bool tried_ = false;
  UniqueFd inotify_;
  pid_t owner_ = 0;
  std::unordered_map<int, Folder> folders_;  // by watch
  std::map<std::pair<dev_t, ino_t>, int> byInode_;
  std::vector<char> buffer_ = std::vector<char>(64 * 1024);
};

}  // namespace

std::optional<std::string> FindCaseVariant(const std::string& folder, std::string_view name) {
  static CaseIndex index;
  return index.Find(folder, name);
}

}  // namespace tarvik::platform
