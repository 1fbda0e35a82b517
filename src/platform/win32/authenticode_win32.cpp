#include <windows.h>
// After windows.h, which they need.
#include <softpub.h>
#include <wintrust.h>

#include <string>

#include "platform/authenticode.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace tarvik::platform {

int32_t VerifyAuthenticode(std::string_view path) {
  const std::string caminho(path);
  const std::wstring largo = ToWide(caminho);
  // Opened here so that a file that cannot be read raises its classic error
  // instead of becoming a verdict.
  const UniqueHandle arquivo = UniqueHandle(::CreateFileW(
      largo.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!arquivo.Valid()) throw ErroDeWin32EmArquivo(::GetLastError(), "VerificaAssinatura", caminho);

  WINTRUST_FILE_INFO arquivoConfiado{};
  arquivoConfiado.cbStruct = sizeof(arquivoConfiado);
  arquivoConfiado.pcwszFilePath = largo.c_str();
  arquivoConfiado.hFile = arquivo.Get();

  WINTRUST_DATA dados{};
  dados.cbStruct = sizeof(dados);
  dados.dwUIChoice = WTD_UI_NONE;
  // The update server is the only place the files come from; revocation
  // lists would make every check wait on the network.
  dados.fdwRevocationChecks = WTD_REVOKE_NONE;
  dados.dwProvFlags = WTD_REVOCATION_CHECK_NONE;
  dados.dwUnionChoice = WTD_CHOICE_FILE;
  dados.pFile = &arquivoConfiado;
  dados.dwStateAction = WTD_STATEACTION_VERIFY;

  GUID acao = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  // No window: nobody is there to answer a prompt.
  const HWND semJanela = static_cast<HWND>(INVALID_HANDLE_VALUE);
  const LONG resultado = ::WinVerifyTrust(semJanela, &acao, &dados);
  dados.dwStateAction = WTD_STATEACTION_CLOSE;
  ::WinVerifyTrust(semJanela, &acao, &dados);
  return static_cast<int32_t>(resultado);
}

}  // namespace tarvik::platform
