#include "platform/win32/win32_error.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace tarvik::platform {
namespace {

// ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64's headers lack.
constexpr DWORD kErrorDiskQuotaExceeded = 1295;

}  // namespace

Erro ErroDeWin32(unsigned long error, const std::string& origem, const std::string& path) {
  using namespace codigo_erro;
  int32_t numero = kErroEntradaSaida;
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      numero = kArquivoNaoEncontrado;
      break;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:  // a file where a folder is expected
      numero = kCaminhoNaoEncontrado;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_BUSY:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_CURRENT_DIRECTORY:
      numero = kPermissaoNegada;
      break;
    case ERROR_DIR_NOT_EMPTY:
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      numero = kErroAcessoCaminho;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case kErrorDiskQuotaExceeded:
      numero = kDiscoCheio;
      break;
    case ERROR_INVALID_PARAMETER:
    case ERROR_INVALID_NAME:
      numero = kArgumentoInvalido;
      break;
    default:
      break;
  }
  return ErroPadrao(numero, origem, path);
}

Erro ErroDeWin32EmArquivo(unsigned long error, const std::string& origem, const std::string& path) {
  if (error == ERROR_ACCESS_DENIED) {
    const DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return ErroPadrao(codigo_erro::kErroAcessoCaminho, origem, path);
    }
  }
  return ErroDeWin32(error, origem, path);
}

}  // namespace tarvik::platform
