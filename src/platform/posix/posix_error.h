#ifndef TARVIK_PLATFORM_POSIX_POSIX_ERROR_H_
#define TARVIK_PLATFORM_POSIX_POSIX_ERROR_H_

#include <string>

#include "base/erro.h"

namespace tarvik::platform {

// The classic runtime error for an errno value left by an operation on
// `path` (a native path): ENOENT is 53 when the folder exists and 76 when it
// does not, EACCES/EPERM/EBUSY/ETXTBSY/EROFS 70, EEXIST/ENOTEMPTY/EISDIR 75,
// ENOSPC/EDQUOT/EFBIG (a file-size limit) 61, EIO 57. `origem` names the operation.
Erro ErroDeErrno(int error, const std::string& origem, const std::string& path);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_POSIX_POSIX_ERROR_H_
