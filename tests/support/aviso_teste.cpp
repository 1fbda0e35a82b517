#include "support/aviso_teste.h"

#ifdef _WIN32
#include <windows.h>

#include <string_view>

#include "platform/code_page.h"
#else
#include <gtest/gtest.h>
#endif

namespace tarvik::teste {

#ifdef _WIN32
namespace {

std::string TextoDe(HWND janela) {
  char texto[1024] = {};
  ::GetWindowTextA(janela, texto, sizeof texto);
  return platform::FromAnsiCodePage(texto);
}

// A message box's severity, from its icon, and its text.
struct Caixa {
  std::string severidade = "?", texto;
};

BOOL CALLBACK LeFilho(HWND filho, LPARAM lido) {
  Caixa& caixa = *reinterpret_cast<Caixa*>(lido);
  if ((::GetWindowLongW(filho, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    // The box shows the system's shared icons.
    const auto icone = reinterpret_cast<HICON>(::SendMessageW(filho, STM_GETICON, 0, 0));
    if (icone == ::LoadIcon(nullptr, IDI_ERROR)) caixa.severidade = "Erro";
    if (icone == ::LoadIcon(nullptr, IDI_INFORMATION)) caixa.severidade = "Informação";
  } else if (::GetDlgCtrlID(filho) == 0xFFFF) {
    caixa.texto = TextoDe(filho);
  }
  return TRUE;
}

BOOL CALLBACK AchaCaixa(HWND janela, LPARAM achada) {
  char classe[8] = {};
  ::GetClassNameA(janela, classe, sizeof classe);
  if (std::string_view(classe) != "#32770" || !::IsWindowVisible(janela)) return TRUE;
  *reinterpret_cast<HWND*>(achada) = janela;
  return FALSE;
}

}  // namespace

// The boxes are looked for among the windows of the thread that runs the
// code under test, the one that makes the object.
AvisosCapturados::AvisosCapturados()
    : vigia_([this, teste = ::GetCurrentThreadId()] {
        for (; !encerrando_; ::Sleep(10)) {
          HWND caixa = nullptr;
          ::EnumThreadWindows(teste, AchaCaixa, reinterpret_cast<LPARAM>(&caixa));
          if (!caixa) continue;
          Caixa lida;
          ::EnumChildWindows(caixa, LeFilho, reinterpret_cast<LPARAM>(&lida));
          {
            std::lock_guard trava(mutex_);
            lidos_ += TextoDe(caixa) + " - " + lida.severidade + "\n" + lida.texto + "\n";
          }
          ::SendMessageW(::GetDlgItem(caixa, IDOK), BM_CLICK, 0, 0);
          // Until the box is gone, it would be read again.
          while (::IsWindow(caixa) && !encerrando_) ::Sleep(10);
        }
      }) {}

AvisosCapturados::~AvisosCapturados() {
  encerrando_ = true;
  vigia_.join();
}

std::string AvisosCapturados::Texto() {
  std::lock_guard trava(mutex_);
  return lidos_;
}
#else
AvisosCapturados::AvisosCapturados() { testing::internal::CaptureStderr(); }

AvisosCapturados::~AvisosCapturados() { Texto(); }

std::string AvisosCapturados::Texto() {
  if (!texto_) texto_ = testing::internal::GetCapturedStderr();
  return *texto_;
}
#endif

}  // namespace tarvik::teste
