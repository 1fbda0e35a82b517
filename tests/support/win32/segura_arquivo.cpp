// Waits until its standard input closes, holding meanwhile the handles it
// inherited: ArquivoEmUso gives it a file opened sharing only reading, so
// that others may read the file but neither write nor delete it, as with the
// files of a running program (the updater's backup copy reads them).

#include <windows.h>

int wmain() {
  char c;
  DWORD n = 0;
  while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), &c, 1, &n, nullptr) && n > 0) {
  }
  return 0;
}
