// The progress window made in this process. Windows only: POSIX has no
// such window.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "ui/janela_progresso.h"

namespace tarvik {
namespace {

using Linhas = std::vector<std::string>;

Linhas textosDefinidos;
WNDPROC procedimentoRotulo = nullptr;

// Records every text given to a label, in order.
LRESULT CALLBACK RegistraTexto(HWND janela, UINT mensagem, WPARAM w, LPARAM l) {
  if (mensagem == WM_SETTEXT) {
    textosDefinidos.push_back(platform::FromWide(reinterpret_cast<const wchar_t*>(l)));
  }
  return ::CallWindowProcW(procedimentoRotulo, janela, mensagem, w, l);
}

BOOL CALLBACK AchaJanela(HWND janela, LPARAM achada) {
  wchar_t texto[32];
  if (::GetWindowTextW(janela, texto, 32) && std::wstring_view(texto) == L"Atualizador TARVIK") {
    *reinterpret_cast<HWND*>(achada) = janela;
  }
  return TRUE;
}

// Face, height in pixels at 96 dots per inch, weight and character set.
std::string Fonte(HWND rotulo) {
  LOGFONTW fonte{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(rotulo, WM_GETFONT, 0, 0)), sizeof fonte,
               &fonte);
  const HDC tela = ::GetDC(nullptr);
  const int pontosPorPolegada = ::GetDeviceCaps(tela, LOGPIXELSY);
  ::ReleaseDC(nullptr, tela);
  return platform::FromWide(fonte.lfFaceName) + " " +
         std::to_string(::MulDiv(-fonte.lfHeight, 96, pontosPorPolegada)) + " " +
         std::to_string(fonte.lfWeight) + " " + std::to_string(fonte.lfCharSet);
}

int Largura(HWND janela) {
  RECT area;
  ::GetWindowRect(janela, &area);
  return area.right - area.left;
}

TEST(FrmProgressoTest, FirstCaptionsFontsAndTheOrderOfChanges) {
  const auto visual = CriaJanelaProgresso();
  ASSERT_NE(visual, nullptr);
  HWND janela = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), AchaJanela, reinterpret_cast<LPARAM>(&janela));
  ASSERT_NE(janela, nullptr);
  const HWND titulo = ::GetWindow(janela, GW_CHILD);
  const HWND mensagem = ::GetWindow(titulo, GW_HWNDNEXT);
  EXPECT_EQ(visual->Titulo() + " | " + visual->Mensagem(), "###lbTitulo### | ###lbMensagens###");
  EXPECT_EQ(Fonte(titulo) + " | " + Fonte(mensagem),
            "MS Sans Serif 18 700 0 | MS Sans Serif 18 400 0");

  for (HWND rotulo : {titulo, mensagem}) {
    procedimentoRotulo = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(rotulo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RegistraTexto)));
  }
  visual->TrocaMensagemTitulo("Verificando por atualizações", "Contactando servidor");
  EXPECT_EQ(textosDefinidos, (Linhas{"Contactando servidor", "Verificando por atualizações"}));
  EXPECT_EQ(visual->Titulo() + " | " + visual->Mensagem(),
            "Verificando por atualizações | Contactando servidor");
  // The title's label follows its text's width.
  const int longo = Largura(titulo);
  visual->Titulo("Atualizando");
  EXPECT_LT(Largura(titulo), longo);

  visual->Finaliza();
  EXPECT_FALSE(::IsWindow(janela));
}

}  // namespace
}  // namespace tarvik
