#ifndef TARVIK_PLATFORM_FILES_H_
#define TARVIK_PLATFORM_FILES_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/data_hora.h"

namespace tarvik::platform {

// Paths are given in the core's form: '\' and '/' both separate components.
// On POSIX a component that does not exist with its exact case is matched
// case-insensitively against its folder's entries, the way Windows sees the
// disk; new names are created as given.
//
// Every failure raises `Erro` with the classic numbers (53 file not found,
// 76 path not found, 70 permission denied or file in use, 75 path/file
// access error, 61 disk full, 57 I/O error).

inline constexpr uint32_t kAttributeReadOnly = 1;
inline constexpr uint32_t kAttributeDirectory = 16;
inline constexpr uint32_t kAttributeArchive = 32;

// The native path of `path`, with case-insensitive resolution of the
// components that exist. Never fails.
std::string NativePath(std::string_view path);

// True when a file or folder exists at `path`. Never fails.
bool PathExists(std::string_view path);

// True when the last component of `path` is a symbolic link, whether or
// not it leads anywhere; on Windows also a junction or another reparse
// point that stands for a name elsewhere. A trailing separator does not make
// the link be followed. Never fails: what cannot be examined is no link.
bool IsLink(std::string_view path);

// The functions that write files (AppendText, WriteText, WriteBatch, the
// temporary sibling of CopyFileReplacing) refuse a link in the last
// component of the file they write with 75 instead of following it.

// Appends `text` (UTF-8) to the file in the system's ANSI code page,
// creating the file when missing. All or nothing: when the write cannot
// complete (a full disk), the file is cut back to its length before the call
// and the error is raised.
void AppendText(std::string_view path, std::string_view text);

// Creates or empties the file and writes `text` in the ANSI code page.
void WriteText(std::string_view path, std::string_view text);

// Creates or empties the batch file `path` and writes `text` in the code
// page its interpreter reads: on Windows the command interpreter decodes a
// batch with the console's (OEM) code page, not the ANSI one, so a path with
// accents written in ANSI would name another file; on POSIX the ANSI code
// page, which the batch runner reads.
void WriteBatch(std::string_view path, std::string_view text);

// The whole content of a file.
std::string ReadBytes(std::string_view path);

// Whether a copy tests that no process holds its target: kSkip is for a
// caller that has just asked `VerificaAcessoExclusivo`. Windows refuses a
// held target by itself either way.
enum class InUseTest { kRun, kSkip };

// Copies `from` onto `to`, replacing it. The copy goes to a temporary sibling
// that is flushed and renamed over `to`, so `to` is never seen half-written.
// A read-only `to`, or one a process holds, fails with 70, as on Windows.
void CopyFileReplacing(std::string_view from, std::string_view to,
                       InUseTest inUse = InUseTest::kRun);

// Copies that share one flush to the disk. Each is written at once to its
// temporary sibling, with the checks and failures of CopyFileReplacing, but
// its target stays as it was until `Commit` puts every pending copy on the
// disk and only then renames each over its target, in the order added: a
// flush per file costs more than the copy of a small one. On Windows each
// copy is flushed and in place when `Add` returns, and `Commit` has nothing
// left to do.
class CopyBatch {
 public:
  // What a failure to put the copy in place at `Commit` does: raise, or
  // leave the target as it was and go on with the rest.
  enum class Kind { kRequired, kBestEffort };

  CopyBatch();
  // Pending copies are discarded: their targets stay as they were.
  ~CopyBatch();
  CopyBatch(const CopyBatch&) = delete;
  CopyBatch& operator=(const CopyBatch&) = delete;

  void Add(std::string_view from, std::string_view to, InUseTest inUse = InUseTest::kRun,
           Kind kind = Kind::kRequired);

  // Flushes the pending copies, puts them in place and flushes again, so
  // that the new names are on the disk too; none is pending afterwards. A
  // failed flush, or a failed rename of a required copy, raises `Erro`; the
  // copies not yet in place are then discarded.
  void Commit();

 private:
  struct Pending;
  std::unique_ptr<Pending> pending_;
};

// Deletes a file (not a folder). A read-only file fails with 70.
void RemoveFile(std::string_view path);

// Attributes: read-only 1 (no write permission bit on POSIX), folder 16,
// other files 32. A link reports its own attributes, never its target's
// read-only bit (on POSIX a link is never read-only; a link to a folder
// reports 16).
uint32_t GetAttributes(std::string_view path);
// Sets or clears the read-only bit; the other bits are ignored on POSIX.
// A link is never changed, nor anything through it: it fails with 75.
void SetAttributes(std::string_view path, uint32_t attributes);

// Creates one folder; its parent must exist (76) and it must not (75).
void CreateFolder(std::string_view path);
// Removes an empty folder (75 when not empty).
void RemoveFolder(std::string_view path);

// Length in bytes of a file.
int64_t FileLength(std::string_view path);
// Last-modification date and time, in local time.
DataHora LastModified(std::string_view path);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_FILES_H_
