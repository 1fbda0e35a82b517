// The wait of the restart batch: `rundll32 atualiza.dll,_fnAguarda@16 <pid>`
// returns once the process has ended, so that its files can be replaced.

#include <windows.h>

namespace {

// The process id at the start of the command line; 0 when there is none.
DWORD ProcessoDaLinha(const char* linha) {
  if (linha == nullptr) return 0;
  while (*linha == ' ' || *linha == '\t') ++linha;
  DWORD processo = 0;
  for (; *linha >= '0' && *linha <= '9'; ++linha) {
    processo = processo * 10 + static_cast<DWORD>(*linha - '0');
  }
  return processo;
}

}  // namespace

// The entry point rundll32 calls; the export name (_fnAguarda@16) is set by
// atualiza.def.
extern "C" void CALLBACK fnAguarda(HWND, HINSTANCE, LPSTR linha, int) {
  const DWORD processo = ProcessoDaLinha(linha);
  if (processo == 0) return;
  // A process that has ended, or never was, cannot be opened: nothing to
  // wait for.
  const HANDLE handle = ::OpenProcess(SYNCHRONIZE, FALSE, processo);
  if (handle == nullptr) return;
  ::WaitForSingleObject(handle, INFINITE);
  ::CloseHandle(handle);
}
