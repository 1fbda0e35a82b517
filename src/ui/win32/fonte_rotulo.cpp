#include "ui/win32/fonte_rotulo.h"

#include <algorithm>
#include <iterator>

namespace tarvik {

UniqueGdiObject<HFONT> CriaFonteRotulo(LONG peso) {
  const HDC tela = ::GetDC(nullptr);
  const int pontosPorPolegada = tela ? ::GetDeviceCaps(tela, LOGPIXELSY) : 96;
  if (tela) ::ReleaseDC(nullptr, tela);
  LOGFONTW fonte{};
  // Tenths of a point: 13.5 points are 135 / 720 of an inch.
  fonte.lfHeight = -::MulDiv(135, pontosPorPolegada, 720);
  fonte.lfWeight = peso;
  fonte.lfCharSet = ANSI_CHARSET;
  constexpr wchar_t kNome[] = L"MS Sans Serif";
  static_assert(sizeof kNome <= sizeof fonte.lfFaceName);
  std::copy(std::begin(kNome), std::end(kNome), fonte.lfFaceName);
  return UniqueGdiObject<HFONT>(::CreateFontIndirectW(&fonte));
}

}  // namespace tarvik
