#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/cp1252.h"
#include "platform/files.h"
#include "platform/posix/in_use.h"
#include "platform/posix/posix_error.h"
#include "platform/posix/unique_fd.h"

namespace tarvik::platform {
namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr size_t kCopyBlock = 1 << 20;

[[noreturn]] void Fail(const char* operation, const std::string& path) {
  throw ErroDeErrno(errno, operation, path);
}

bool IsReadOnly(const struct stat& info) { return (info.st_mode & kWriteBits) == 0; }

enum class InUse { kIgnore, kRefuse };

// Windows refuses to overwrite or delete a read-only file, or one that
// a process holds (a running program cannot replace its own executable);
// root on POSIX would not refuse, so both are checked here.
// Appending and small rewrites skip the costly in-use scan.
// A link is judged as itself, as Windows does: what it leads to is not
// what gets replaced.
void RequireReplaceable(const char* operation, const std::string& path, InUse inUse) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return;
  // A folder, or a FIFO or device planted at the name, is no file to write.
  if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
    throw ErroPadrao(codigo_erro::kErroAcessoCaminho, operation, path);
  }
  if (IsReadOnly(info) || (inUse == InUse::kRefuse && IsInUse(path))) {
    throw ErroPadrao(codigo_erro::kPermissaoNegada, operation, path);
  }
}

void WriteAll(int fd, std::string_view bytes, const char* operation, const std::string& path) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(operation, path);
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

// Appends all of `bytes` or, when a write fails part-way (a full disk),
// cuts the file back to where they began, so that no half line stays.
void AppendAll(int fd, std::string_view bytes, const char* operation, const std::string& path) {
  off_t start = -1;
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      // Best effort: the write's error is the one that tells what happened.
      if (start >= 0) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, start);
      }
      throw ErroDeErrno(error, operation, path);
    }
    // In append mode the bytes land at the end, wherever that was: the
    // offset after the first write tells where they began.
    if (start < 0) start = ::lseek(fd, 0, SEEK_CUR) - written;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

// A link in the last component is refused (O_NOFOLLOW), never written
// through: the updater runs with more rights than whoever can plant one.
void Write(std::string_view path, std::string_view bytes, int flags, const char* operation) {
  const std::string native = NativePath(path);
  RequireReplaceable(operation, native, InUse::kIgnore);
  // O_NONBLOCK: a FIFO that appears at the name after the check above must
  // not hang the updater either.
  UniqueFd fd(::open(native.c_str(),
                     O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | flags, 0666));
  if (!fd.Valid()) Fail(operation, native);
  if (flags & O_APPEND) {
    AppendAll(fd.Get(), bytes, operation, native);
  } else {
    WriteAll(fd.Get(), bytes, operation, native);
  }
  if (!fd.Close()) Fail(operation, native);
}

struct stat Stat(std::string_view path, const char* operation) {
  const std::string native = NativePath(path);
  struct stat info {};
  if (::stat(native.c_str(), &info) != 0) Fail(operation, native);
  return info;
}

// The entry itself, a link included.
struct stat LinkStat(const std::string& native, const char* operation) {
  struct stat info {};
  if (::lstat(native.c_str(), &info) != 0) Fail(operation, native);
  return info;
}

// `native` without trailing separators, which would make lstat follow a
// link to a folder.
std::string WithoutTrailingSeparators(std::string native) {
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  return native;
}

}  // namespace

bool IsLink(std::string_view path) {
  struct stat info {};
  return !path.empty() &&
         ::lstat(WithoutTrailingSeparators(NativePath(path)).c_str(), &info) == 0 &&
         S_ISLNK(info.st_mode);
}

void AppendText(std::string_view path, std::string_view text) {
  Write(path, ParaCp1252(text), O_APPEND, "AppendText");
}

void WriteText(std::string_view path, std::string_view text) {
  Write(path, ParaCp1252(text), O_TRUNC, "WriteText");
}

void WriteBatch(std::string_view path, std::string_view text) {
  Write(path, ParaCp1252(text), O_TRUNC, "WriteBatch");
}

std::string ReadBytes(std::string_view path) {
  const std::string native = NativePath(path);
  UniqueFd fd(::open(native.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) Fail("ReadBytes", native);
  std::string content;
  std::vector<char> block(1 << 16);
  for (;;) {
    const ssize_t got = ::read(fd.Get(), block.data(), block.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail("ReadBytes", native);
    }
    if (got == 0) return content;
    content.append(block.data(), static_cast<size_t>(got));
  }
}

namespace {

// Copies what is left of `in` to `out`. The kernel copies by itself where it
// can (copy_file_range: no pass through this process, and a shared extent
// on file systems that offer one); elsewhere a plain read and write, through
// a block no larger than the file, since clearing a large block for each of
// thousands of small files costs more than copying them.
void CopyBytes(int in, int out, off_t size, const std::string& source, const std::string& target) {
  for (bool first = true;; first = false) {
    const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, kCopyBlock, 0);
    if (copied > 0) continue;
    if (copied == 0 && !(first && size > 0)) return;
    if (copied < 0 && errno == EINTR) continue;
    // Not offered here (another file system, an old kernel), or a file
    // whose size the kernel does not know (it copies nothing): by hand.
    if (copied < 0 && errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP &&
        errno != EPERM) {
      Fail("CopyFile", errno == ENOSPC || errno == EFBIG || errno == EDQUOT ? target : source);
    }
    break;
  }
  std::vector<char> block(static_cast<size_t>(std::clamp<off_t>(size, 1, kCopyBlock)));
  for (;;) {
    const ssize_t got = ::read(in, block.data(), block.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail("CopyFile", source);
    }
    if (got == 0) return;
    WriteAll(out, {block.data(), static_cast<size_t>(got)}, "CopyFile", target);
  }
}

// A copy written whole to its temporary sibling, not yet in place.
struct StagedCopy {
  std::string temporary;
  std::string target;
  UniqueFd out;  // the sibling, still open

  void Discard() const { ::unlink(temporary.c_str()); }
};

// Copies `from` to a new sibling of `to` after the checks of
// CopyFileReplacing. Nothing stays behind on failure.
StagedCopy Stage(std::string_view from, std::string_view to, InUseTest inUse) {
  const std::string source = NativePath(from);
  StagedCopy copy{.temporary = {}, .target = NativePath(to), .out = {}};
  UniqueFd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.Valid()) Fail("CopyFile", source);
  struct stat sourceInfo {};
  if (::fstat(in.Get(), &sourceInfo) != 0) Fail("CopyFile", source);
  if (S_ISDIR(sourceInfo.st_mode))
    throw ErroPadrao(codigo_erro::kErroAcessoCaminho, "CopyFile", source);
  RequireReplaceable("CopyFile", copy.target,
                     inUse == InUseTest::kRun ? InUse::kRefuse : InUse::kIgnore);
  // Like the Windows copy the result takes the source's permissions; a file
  // that could be run before the copy still can, since a downloaded file
  // never carries the execute bits.
  mode_t mode = sourceInfo.st_mode & 07777;
  if (struct stat targetInfo{}; ::stat(copy.target.c_str(), &targetInfo) == 0) {
    mode |= targetInfo.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH);
  }

  // The copy goes to a sibling first, so that the target is either the old
  // file or the whole new one, never a half-written mix.
  copy.temporary = copy.target + ".tarvik-XXXXXX";
  copy.out = UniqueFd(::mkstemp(copy.temporary.data()));
  if (!copy.out.Valid()) Fail("CopyFile", copy.target);
  try {
    CopyBytes(in.Get(), copy.out.Get(), sourceInfo.st_size, source, copy.target);
    // Like the Windows copy, keep the source's modification time.
    const timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
    if (::fchmod(copy.out.Get(), mode) != 0 || ::futimens(copy.out.Get(), times) != 0) {
      Fail("CopyFile", copy.target);
    }
  } catch (...) {
    copy.Discard();
    throw;
  }
  return copy;
}

}  // namespace

void CopyFileReplacing(std::string_view from, std::string_view to, InUseTest inUse) {
  StagedCopy copy = Stage(from, to, inUse);
  if (::fsync(copy.out.Get()) != 0 || !copy.out.Close() ||
      ::rename(copy.temporary.c_str(), copy.target.c_str()) != 0) {
    const int error = errno;
    copy.Discard();
    throw ErroDeErrno(error, "CopyFile", copy.target);
  }
}

// One syncfs per file system written replaces a fsync per file: the copies
// of a phase reach the disk together before any of them is renamed, so a
// crash leaves each target either as it was or whole; a second one puts the
// new names on the disk too, which a file system without a journal of its
// own does not keep in order. The descriptor kept for each file system was
// opened before its copies were written, so that syncfs reports a
// write-back error of theirs.
struct CopyBatch::Pending {
  std::vector<StagedCopy> copies;
  std::vector<Kind> kinds;
  std::vector<std::pair<dev_t, UniqueFd>> fileSystems;

  // The first file system that cannot be flushed; none when all were.
  std::optional<int> Flush() const {
    for (const auto& [device, fd] : fileSystems) {
      if (::syncfs(fd.Get()) != 0) return errno;
    }
    return std::nullopt;
  }

  void Clear() {
    copies.clear();
    kinds.clear();
    fileSystems.clear();
  }

  void Discard() {
    for (const StagedCopy& copy : copies) copy.Discard();
    Clear();
  }
};

CopyBatch::CopyBatch() : pending_(std::make_unique<Pending>()) {}

CopyBatch::~CopyBatch() { pending_->Discard(); }

void CopyBatch::Add(std::string_view from, std::string_view to, InUseTest inUse, Kind kind) {
  StagedCopy copy = Stage(from, to, inUse);
  const auto fail = [&copy] {
    const int error = errno;
    copy.Discard();
    throw ErroDeErrno(error, "CopyFile", copy.target);
  };
  struct stat info {};
  if (::fstat(copy.out.Get(), &info) != 0) fail();
  auto& fileSystems = pending_->fileSystems;
  if (std::ranges::find(fileSystems, info.st_dev, &std::pair<dev_t, UniqueFd>::first) ==
      fileSystems.end()) {
    UniqueFd fileSystem(::dup(copy.out.Get()));
    if (!fileSystem.Valid()) fail();
    fileSystems.emplace_back(info.st_dev, std::move(fileSystem));
  }
  if (!copy.out.Close()) fail();
  pending_->copies.push_back(std::move(copy));
  pending_->kinds.push_back(kind);
}

void CopyBatch::Commit() {
  Pending& pending = *pending_;
  if (pending.copies.empty()) return;
  const std::string first = pending.copies.front().target;
  if (const std::optional<int> error = pending.Flush()) {
    pending.Discard();
    throw ErroDeErrno(*error, "CopyFile", first);
  }
  // After a required copy that cannot be put in place, the rest are
  // discarded.
  std::optional<std::pair<int, std::string>> failure;
  for (size_t i = 0; i < pending.copies.size(); ++i) {
    const StagedCopy& copy = pending.copies[i];
    if (!failure && ::rename(copy.temporary.c_str(), copy.target.c_str()) == 0) continue;
    const int error = errno;
    copy.Discard();
    if (!failure && pending.kinds[i] == Kind::kRequired) failure.emplace(error, copy.target);
  }
  const std::optional<int> error = pending.Flush();
  pending.Clear();
  if (failure) throw ErroDeErrno(failure->first, "CopyFile", failure->second);
  if (error) throw ErroDeErrno(*error, "CopyFile", first);
}

void RemoveFile(std::string_view path) {
  const std::string native = NativePath(path);
  struct stat info {};
  if (::lstat(native.c_str(), &info) != 0) Fail("DeleteFile", native);
  RequireReplaceable("DeleteFile", native, InUse::kRefuse);
  if (::unlink(native.c_str()) != 0) Fail("DeleteFile", native);
}

uint32_t GetAttributes(std::string_view path) {
  const std::string native = WithoutTrailingSeparators(NativePath(path));
  const struct stat info = LinkStat(native, "GetAttributes");
  if (S_ISLNK(info.st_mode)) {
    // A link's own permissions mean nothing; only a link to a folder is one,
    // as a folder link is on Windows.
    struct stat target {};
    const bool folder = ::stat(native.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
    return folder ? kAttributeDirectory : kAttributeArchive;
  }
  const uint32_t kind = S_ISDIR(info.st_mode) ? kAttributeDirectory : kAttributeArchive;
  return kind | (IsReadOnly(info) ? kAttributeReadOnly : 0);
}

void SetAttributes(std::string_view path, uint32_t attributes) {
  const std::string native = WithoutTrailingSeparators(NativePath(path));
  const struct stat info = LinkStat(native, "SetAttributes");
  const mode_t mode =
      (attributes & kAttributeReadOnly) ? (info.st_mode & ~kWriteBits) : (info.st_mode | S_IWUSR);
  // Not following refuses a link, even one put there since the lstat
  // (EOPNOTSUPP, 75), instead of changing what it leads to.
  if (::fchmodat(AT_FDCWD, native.c_str(), mode & 07777, AT_SYMLINK_NOFOLLOW) != 0) {
    Fail("SetAttributes", native);
  }
}

void CreateFolder(std::string_view path) {
  const std::string native = NativePath(path);
  if (::mkdir(native.c_str(), 0777) != 0) Fail("CreateFolder", native);
}

void RemoveFolder(std::string_view path) {
  const std::string native = NativePath(path);
  if (::rmdir(native.c_str()) != 0) {
    // A missing folder is a path not found, as on Windows.
    if (errno == ENOENT)
      throw ErroPadrao(codigo_erro::kCaminhoNaoEncontrado, "RemoveFolder", native);
    Fail("RemoveFolder", native);
  }
}

int64_t FileLength(std::string_view path) {
  const struct stat info = Stat(path, "FileLength");
  if (S_ISDIR(info.st_mode)) return 0;
  return static_cast<int64_t>(info.st_size);
}

DataHora LastModified(std::string_view path) {
  const struct stat info = Stat(path, "LastModified");
  std::tm local{};
  localtime_r(&info.st_mtim.tv_sec, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace tarvik::platform
