#ifndef TARVIK_UI_WIN32_FONTE_ROTULO_H_
#define TARVIK_UI_WIN32_FONTE_ROTULO_H_

#include <windows.h>

#include "ui/win32/objeto_gdi.h"

namespace tarvik {

// The labels' font: "MS Sans Serif", 13.5 points at the screen's resolution
// (18 pixels high at 96 dots per inch), character set 0, of weight `peso`
// (400 normal, 700 bold). Null when the system cannot make it.
UniqueGdiObject<HFONT> CriaFonteRotulo(LONG peso);

}  // namespace tarvik

#endif  // TARVIK_UI_WIN32_FONTE_ROTULO_H_
