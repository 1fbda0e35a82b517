// frmCliente on Windows, a dialog: the address in `Text1`, one check per
// press of `cmdConsultar`, until the dialog is closed.

#include <windows.h>

#include <string>

#include "consulta_cliente.h"
#include "formulario_ids.h"
#include "platform/notice.h"
#include "platform/win32/wide_text.h"

namespace tarvik::formulario {
namespace {

std::string Texto(HWND controle) {
  std::wstring texto(static_cast<size_t>(::GetWindowTextLengthW(controle)) + 1, L'\0');
  texto.resize(static_cast<size_t>(
      ::GetWindowTextW(controle, texto.data(), static_cast<int>(texto.size()))));
  return platform::FromWide(texto);
}

INT_PTR CALLBACK Dialogo(HWND dialogo, UINT mensagem, WPARAM w, LPARAM) {
  switch (mensagem) {
    case WM_INITDIALOG:
      ::SetWindowTextW(dialogo, platform::ToWide(kTitulo).c_str());
      ::SetDlgItemTextW(dialogo, FORMULARIO_TEXT1, platform::ToWide(kEnderecoInicial).c_str());
      ::SetDlgItemTextW(dialogo, FORMULARIO_CMD_CONSULTAR,
                        platform::ToWide(kBotaoConsultar).c_str());
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(w) == FORMULARIO_CMD_CONSULTAR) {
        try {
          Consultar(Texto(::GetDlgItem(dialogo, FORMULARIO_TEXT1)));
        } catch (const Erro& erro) {
          // As a program whose handler fails: reported, and the form ends.
          platform::ReportFatalError("formulario_teste.exe", TextoErro(erro));
          ::EndDialog(dialogo, 1);
        }
        return TRUE;
      }
      if (LOWORD(w) == IDCANCEL) {  // the close button
        ::EndDialog(dialogo, 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace
}  // namespace tarvik::formulario

int main() {
  return static_cast<int>(::DialogBoxParamW(::GetModuleHandleW(nullptr),
                                            MAKEINTRESOURCEW(FORMULARIO_CLIENTE), nullptr,
                                            tarvik::formulario::Dialogo, 0));
}
