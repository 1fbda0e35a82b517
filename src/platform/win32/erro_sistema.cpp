#include "platform/win32/erro_sistema.h"

#include <windows.h>

#include "platform/win32/texto_utf16.h"

namespace tarvik::platform {
namespace {

bool EhPasta(const std::string& caminho) {
  const DWORD atributos = ::GetFileAttributesW(ParaUtf16(caminho).c_str());
  return atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

Erro ErroDoSistema(uint32_t codigo, const std::string& origem, const std::string& caminho) {
  using namespace codigo_erro;
  int32_t numero = kErroAcessoCaminho;
  switch (codigo) {
    case ERROR_FILE_NOT_FOUND:
      numero = kArquivoNaoEncontrado;
      break;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      numero = kCaminhoNaoEncontrado;
      break;
    case ERROR_ACCESS_DENIED:
      // Opening a folder as a file is refused with access denied.
      numero = EhPasta(caminho) ? kErroAcessoCaminho : kPermissaoNegada;
      break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      numero = kPermissaoNegada;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      numero = kDiscoCheio;
      break;
    case ERROR_CRC:
    case ERROR_NOT_READY:
    case ERROR_IO_DEVICE:
      numero = kErroEntradaSaida;
      break;
    default:
      break;
  }
  return ErroPadrao(numero, origem, caminho);
}

}  // namespace tarvik::platform
