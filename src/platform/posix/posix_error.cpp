#include "platform/posix/posix_error.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace tarvik::platform {
namespace {

bool ParentExists(const std::string& path) {
  const auto barra = path.find_last_of('/');
  if (barra == std::string::npos || barra == 0) return true;
  struct stat info {};
  return ::stat(path.substr(0, barra).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

Erro ErroDeErrno(int error, const std::string& origem, const std::string& path) {
  using namespace codigo_erro;
  int32_t numero = kErroAcessoCaminho;
  switch (error) {
    case ENOENT:
      numero = ParentExists(path) ? kArquivoNaoEncontrado : kCaminhoNaoEncontrado;
      break;
    case ENOTDIR:
      numero = kCaminhoNaoEncontrado;
      break;
    case EACCES:
    case EPERM:
    case EBUSY:
    case ETXTBSY:
    case EROFS:
      numero = kPermissaoNegada;
      break;
    case EEXIST:
    case ENOTEMPTY:
    case EISDIR:
      numero = kErroAcessoCaminho;
      break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      numero = kDiscoCheio;
      break;
    case EIO:
      numero = kErroEntradaSaida;
      break;
    default:
      break;
  }
  return ErroPadrao(numero, origem, path);
}

}  // namespace tarvik::platform
