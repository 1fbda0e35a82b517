#ifndef TARVIK_PLATFORM_WIN32_WIN32_ERROR_H_
#define TARVIK_PLATFORM_WIN32_WIN32_ERROR_H_

#include <string>

#include "base/erro.h"

namespace tarvik::platform {

// The classic runtime error for a Win32 error code left by an operation on
// `path` (a native path), with the numbers the POSIX layer gives for the
// same condition: file not found 53; path not found 76; access denied,
// sharing or lock violation, write protection, busy 70; folder not empty or
// name already taken 75; disk full 61; invalid parameter or name 5; anything
// else the device I/O error 57. `origem` names the operation.
Erro ErroDeWin32(unsigned long error, const std::string& origem, const std::string& path);

// The same for an operation that expects a file at `path`: where a folder
// stands, Windows only says access denied, and the error is the path/file
// access error (75) that POSIX gives.
Erro ErroDeWin32EmArquivo(unsigned long error, const std::string& origem, const std::string& path);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_WIN32_ERROR_H_
