#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/win32/system_time.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_error.h"

namespace tarvik::platform {
namespace {

constexpr DWORD kCopyBlock = 1 << 20;
constexpr DWORD kReadBlock = 1 << 16;
constexpr int kSiblingAttempts = 100;

// The attributes SetFileAttributesW accepts; the others (folder,
// compression, reparse point...) describe the file and cannot be set.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

[[noreturn]] void Fail(const char* operation, const std::string& path) {
  throw ErroDeWin32(::GetLastError(), operation, path);
}

[[noreturn]] void FailOnFile(const char* operation, const std::string& path) {
  throw ErroDeWin32EmArquivo(::GetLastError(), operation, path);
}

HANDLE OpenOrCreate(const std::wstring& path, DWORD access, DWORD flags) {
  return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL | flags, nullptr);
}

// The attributes and reparse tag of an open file; false when they cannot
// be read.
bool ReadTag(HANDLE file, FILE_ATTRIBUTE_TAG_INFO& tag) {
  return ::GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) != 0;
}

// A symbolic link or junction: a name that stands for another.
bool IsNameSurrogate(const FILE_ATTRIBUTE_TAG_INFO& tag) {
  return (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         IsReparseTagNameSurrogate(tag.ReparseTag);
}

[[noreturn]] void RefuseLink(const char* operation, const std::string& path) {
  throw ErroPadrao(codigo_erro::kErroAcessoCaminho, operation, path);
}

// Opens an existing file or folder itself, a reparse point included, to
// read its attributes.
UniqueHandle OpenEntry(const std::string& path, DWORD share) {
  return UniqueHandle(
      ::CreateFileW(ToWide(path).c_str(), FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// `native` without trailing separators, except the one of a drive's root.
std::string WithoutTrailingSeparators(std::string native) {
  while (native.size() > 1 && native.back() == '\\' && native[native.size() - 2] != ':') {
    native.pop_back();
  }
  return native;
}

// Opens `path` for writing, creating it when missing. A symbolic link or
// junction at `path` is refused rather than followed, so that the updater
// writes only the file its name says; other reparse points (cloud
// placeholders, deduplicated files) belong to a file-system filter, which
// must see the write, and are opened the ordinary way.
UniqueHandle OpenForWriting(const std::string& path, DWORD access, const char* operation) {
  const std::wstring wide = ToWide(path);
  access |= FILE_READ_ATTRIBUTES;
  UniqueHandle file(OpenOrCreate(wide, access, FILE_FLAG_OPEN_REPARSE_POINT));
  if (!file.Valid()) FailOnFile(operation, path);
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!ReadTag(file.Get(), tag)) Fail(operation, path);
  if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return file;
  if (IsNameSurrogate(tag)) RefuseLink(operation, path);
  file = UniqueHandle(OpenOrCreate(wide, access, 0));
  if (!file.Valid()) FailOnFile(operation, path);
  return file;
}

void WriteAll(HANDLE file, std::string_view bytes, const char* operation, const std::string& path) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), kCopyBlock));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) Fail(operation, path);
    bytes.remove_prefix(written);
  }
}

// Appends all of `bytes` or, when the write fails part-way (a full disk),
// cuts the file back to where they began, so that no half line stays. The
// file is open without write sharing: no one else appends meanwhile.
void AppendAll(HANDLE file, std::string_view bytes, const char* operation,
               const std::string& path) {
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file, LARGE_INTEGER{}, &start, FILE_END)) Fail(operation, path);
  try {
    WriteAll(file, bytes, operation, path);
  } catch (...) {
    // Best effort: the write's error is the one that tells what happened.
    if (::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) ::SetEndOfFile(file);
    throw;
  }
}

enum class WriteMode { kAppend, kReplace };

void Write(std::string_view path, std::string_view bytes, WriteMode mode, const char* operation) {
  const std::string native = NativePath(path);
  UniqueHandle file = OpenForWriting(native, GENERIC_WRITE, operation);
  if (mode == WriteMode::kAppend) {
    AppendAll(file.Get(), bytes, operation, native);
  } else {
    if (!::SetEndOfFile(file.Get())) Fail(operation, native);
    WriteAll(file.Get(), bytes, operation, native);
  }
  if (!file.Close()) Fail(operation, native);
}

WIN32_FILE_ATTRIBUTE_DATA Describe(std::string_view path, const char* operation) {
  const std::string native = NativePath(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(ToWide(native).c_str(), GetFileExInfoStandard, &data)) {
    Fail(operation, native);
  }
  return data;
}

// A read-only target, or a folder, is refused before anything is copied:
// Windows would refuse the rename only at the end (Wine's rename would not
// refuse a read-only target at all).
void RequireReplaceable(const char* operation, const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    throw ErroPadrao(codigo_erro::kErroAcessoCaminho, operation, path);
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    throw ErroPadrao(codigo_erro::kPermissaoNegada, operation, path);
  }
}

// Creates a new sibling of `target` to copy into, with `attributes`, and
// stores its name in `name`.
UniqueHandle CreateSibling(const std::string& target, DWORD attributes, std::string& name) {
  const DWORD seed = ::GetCurrentProcessId() ^ ::GetTickCount();
  for (int attempt = 0;; ++attempt) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".tarvik-%06lX", (seed + attempt) & 0xFFFFFFul);
    name = target + suffix;
    // A link already standing at the name counts as taken, not followed.
    UniqueHandle file(::CreateFileW(
        ToWide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        attributes | FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file.Valid()) return file;
    if (::GetLastError() != ERROR_FILE_EXISTS || attempt + 1 == kSiblingAttempts) {
      FailOnFile("CopyFile", target);
    }
  }
}

}  // namespace

bool IsLink(std::string_view path) {
  if (path.empty()) return false;
  const UniqueHandle entry = OpenEntry(WithoutTrailingSeparators(NativePath(path)),
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  FILE_ATTRIBUTE_TAG_INFO tag{};
  return entry.Valid() && ReadTag(entry.Get(), tag) && IsNameSurrogate(tag);
}

void AppendText(std::string_view path, std::string_view text) {
  Write(path, ToAnsiCodePage(text), WriteMode::kAppend, "AppendText");
}

void WriteText(std::string_view path, std::string_view text) {
  Write(path, ToAnsiCodePage(text), WriteMode::kReplace, "WriteText");
}

void WriteBatch(std::string_view path, std::string_view text) {
  Write(path, CodePageFromUtf8(CP_OEMCP, text), WriteMode::kReplace, "WriteBatch");
}

std::string ReadBytes(std::string_view path) {
  const std::string native = NativePath(path);
  UniqueHandle file(::CreateFileW(ToWide(native).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.Valid()) FailOnFile("ReadBytes", native);
  std::string content;
  std::vector<char> block(kReadBlock);
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.Get(), block.data(), kReadBlock, &got, nullptr)) {
      Fail("ReadBytes", native);
    }
    if (got == 0) return content;
    content.append(block.data(), got);
  }
}

// Windows refuses a target that a process holds by itself, so the caller's
// test is never repeated here.
void CopyFileReplacing(std::string_view from, std::string_view to, InUseTest) {
  const std::string source = NativePath(from);
  const std::string target = NativePath(to);
  UniqueHandle in(::CreateFileW(ToWide(source).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!in.Valid()) FailOnFile("CopyFile", source);
  BY_HANDLE_FILE_INFORMATION sourceInfo{};
  if (!::GetFileInformationByHandle(in.Get(), &sourceInfo)) Fail("CopyFile", source);
  RequireReplaceable("CopyFile", target);

  // The copy goes to a sibling first and is renamed over the target, so
  // that the target is either the old file or the whole new one. Like
  // CopyFileW, the copy takes the source's attributes and modification time.
  std::string temporary;
  const DWORD attributes =
      (sourceInfo.dwFileAttributes & kSettableAttributes) | FILE_ATTRIBUTE_ARCHIVE;
  UniqueHandle out = CreateSibling(target, attributes, temporary);
  const std::wstring wideTemporary = ToWide(temporary);
  try {
    std::vector<char> block(kCopyBlock);
    for (;;) {
      DWORD got = 0;
      if (!::ReadFile(in.Get(), block.data(), kCopyBlock, &got, nullptr)) {
        Fail("CopyFile", source);
      }
      if (got == 0) break;
      WriteAll(out.Get(), {block.data(), got}, "CopyFile", target);
    }
    if (!::SetFileTime(out.Get(), nullptr, nullptr, &sourceInfo.ftLastWriteTime) ||
        !::FlushFileBuffers(out.Get()) || !out.Close()) {
      Fail("CopyFile", target);
    }
    if (!::MoveFileExW(wideTemporary.c_str(), ToWide(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      FailOnFile("CopyFile", target);
    }
  } catch (...) {
    if (out.Valid()) out.Close();
    ::SetFileAttributesW(wideTemporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(wideTemporary.c_str());
    throw;
  }
}

// Nothing waits: each copy is flushed and in place when Add returns. Windows
// flushes a whole volume only for an administrator (FlushFileBuffers on the
// volume's handle), so there is no shared flush to wait for.
struct CopyBatch::Pending {};

CopyBatch::CopyBatch() : pending_(std::make_unique<Pending>()) {}

CopyBatch::~CopyBatch() = default;

void CopyBatch::Add(std::string_view from, std::string_view to, InUseTest inUse, Kind) {
  CopyFileReplacing(from, to, inUse);
}

void CopyBatch::Commit() {}

void RemoveFile(std::string_view path) {
  const std::string native = NativePath(path);
  if (!::DeleteFileW(ToWide(native).c_str())) FailOnFile("DeleteFile", native);
}

uint32_t GetAttributes(std::string_view path) {
  const std::string native = NativePath(path);
  const DWORD attributes = ::GetFileAttributesW(ToWide(native).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) Fail("GetAttributes", native);
  return attributes;
}

// A link is refused, not followed. The entry is held open without delete
// sharing while its attributes change, so that no link can take its name
// meanwhile (neither it nor a folder above it can be renamed or deleted).
void SetAttributes(std::string_view path, uint32_t attributes) {
  const std::string native = NativePath(path);
  const UniqueHandle entry = OpenEntry(native, FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (!entry.Valid()) Fail("SetAttributes", native);
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!ReadTag(entry.Get(), tag)) Fail("SetAttributes", native);
  if (IsNameSurrogate(tag)) RefuseLink("SetAttributes", native);
  DWORD settable = attributes & kSettableAttributes;
  if (settable == 0) settable = FILE_ATTRIBUTE_NORMAL;
  if (!::SetFileAttributesW(ToWide(native).c_str(), settable)) Fail("SetAttributes", native);
}

void CreateFolder(std::string_view path) {
  const std::string native = NativePath(path);
  if (!::CreateDirectoryW(ToWide(native).c_str(), nullptr)) Fail("CreateFolder", native);
}

void RemoveFolder(std::string_view path) {
  const std::string native = NativePath(path);
  if (!::RemoveDirectoryW(ToWide(native).c_str())) {
    const DWORD error = ::GetLastError();
    // A missing folder is a path not found, whatever its parent.
    if (error == ERROR_FILE_NOT_FOUND) {
      throw ErroPadrao(codigo_erro::kCaminhoNaoEncontrado, "RemoveFolder", native);
    }
    throw ErroDeWin32(error, "RemoveFolder", native);
  }
}

int64_t FileLength(std::string_view path) {
  const WIN32_FILE_ATTRIBUTE_DATA data = Describe(path, "FileLength");
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
  return static_cast<int64_t>(static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow);
}

DataHora LastModified(std::string_view path) {
  const WIN32_FILE_ATTRIBUTE_DATA data = Describe(path, "LastModified");
  SYSTEMTIME universal{};
  SYSTEMTIME local{};
  if (!::FileTimeToSystemTime(&data.ftLastWriteTime, &universal) ||
      !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
    Fail("LastModified", NativePath(path));
  }
  return FromSystemTime(local);
}

}  // namespace tarvik::platform
