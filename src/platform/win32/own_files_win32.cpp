#include <windows.h>

#include <string>

#include "base/erro.h"
#include "platform/files.h"
#include "platform/own_files.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_error.h"

namespace tarvik::platform {
namespace {

constexpr const char* kSiblingMarks[] = {".tarvik-", ".parcial-"};

// Opens `path` itself, never what a link or junction there points to.
UniqueHandle Open(const std::string& path, DWORD access, DWORD disposition, const char* operation) {
  UniqueHandle file(::CreateFileW(ToWide(path).c_str(), access | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.Valid()) throw ErroDeWin32EmArquivo(::GetLastError(), operation, path);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file.Get(), &info)) {
    throw ErroDeWin32(::GetLastError(), operation, path);
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    throw ErroPadrao(codigo_erro::kErroAcessoCaminho, operation, path);
  }
  return file;
}

void WriteFlushed(UniqueHandle file, std::string_view bytes, const std::string& path,
                  const char* operation) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr)) {
      throw ErroDeWin32(::GetLastError(), operation, path);
    }
    bytes.remove_prefix(written);
  }
  if (!::FlushFileBuffers(file.Get()) || !file.Close()) {
    throw ErroDeWin32(::GetLastError(), operation, path);
  }
}

}  // namespace

void WriteOwnFile(std::string_view path, std::string_view bytes) {
  const std::string name = NativePath(path);
  WriteFlushed(Open(name, GENERIC_WRITE, CREATE_ALWAYS, "WriteOwnFile"), bytes, name,
               "WriteOwnFile");
}

void AppendOwnFile(std::string_view path, std::string_view bytes) {
  const std::string name = NativePath(path);
  WriteFlushed(Open(name, FILE_APPEND_DATA, OPEN_EXISTING, "AppendOwnFile"), bytes, name,
               "AppendOwnFile");
}

std::string ReadOwnFile(std::string_view path) {
  const std::string name = NativePath(path);
  const UniqueHandle file = Open(name, GENERIC_READ, OPEN_EXISTING, "ReadOwnFile");
  std::string content;
  char block[1 << 16];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.Get(), block, sizeof block, &got, nullptr)) {
      throw ErroDeWin32(::GetLastError(), "ReadOwnFile", name);
    }
    if (got == 0) return content;
    content.append(block, got);
  }
}

bool OwnFileExists(std::string_view path) { return PathExists(path); }

void RemoveOwnFile(std::string_view path) { RemoveFile(path); }

std::vector<std::string> RemoveWorkingSiblings(std::string_view path) {
  const std::string base = NativePath(path);
  const size_t barra = base.find_last_of("\\/");
  const std::string folder = barra == std::string::npos ? "" : base.substr(0, barra + 1);
  std::vector<std::string> removed;
  for (const char* mark : kSiblingMarks) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(ToWide(base + mark + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      const std::string sibling = folder + FromWide(found.cFileName);
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
          ::DeleteFileW(ToWide(sibling).c_str())) {
        removed.push_back(sibling);
      }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  return removed;
}

}  // namespace tarvik::platform
