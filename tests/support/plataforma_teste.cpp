#include "support/plataforma_teste.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tarvik::teste {

bool SobWine() {
#ifdef _WIN32
  // Wine's ntdll exports its version; Windows' has no such function.
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
#else
  return false;
#endif
}

}  // namespace tarvik::teste
