#include "platform/authenticode.h"
#include "platform/files.h"
#include "platform/posix/authenticode/file_byte_source.h"
#include "platform/posix/authenticode/image_signature.h"

namespace tarvik::platform {

int32_t VerifyAuthenticode(std::string_view path) {
  FileByteSource file(NativePath(path));
  return VerifyImageSignature(file);
}

}  // namespace tarvik::platform
