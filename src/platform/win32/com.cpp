#include "platform/win32/com.h"

#include <string>

#include "platform/win32/wide_text.h"

namespace tarvik::platform {

ApartamentoCom::ApartamentoCom()
    : encerra_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ApartamentoCom::~ApartamentoCom() {
  if (encerra_) ::CoUninitialize();
}

Bstr NovoBstr(std::string_view utf8) {
  const std::wstring largo = ToWide(utf8);
  return Bstr(::SysAllocStringLen(largo.data(), static_cast<UINT>(largo.size())));
}

}  // namespace tarvik::platform
