#include "support/plataforma_teste.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <filesystem>

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

bool CriaLink(const std::string& alvo, const std::string& link) {
#ifdef _WIN32
  constexpr DWORD kSemPrivilegio = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  const DWORD pasta = std::filesystem::is_directory(alvo) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
  const std::wstring de = std::filesystem::path(link).wstring();
  if (!::CreateSymbolicLinkW(de.c_str(), std::filesystem::path(alvo).wstring().c_str(),
                             pasta | kSemPrivilegio)) {
    return false;
  }
  const DWORD atributos = ::GetFileAttributesW(de.c_str());
  return atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_REPARSE_POINT);
#else
  return ::symlink(alvo.c_str(), link.c_str()) == 0;
#endif
}

}  // namespace tarvik::teste
