// Holds the file named by its argument open until its standard input
// closes; answers '1' on standard output once the file is held, '0' when it
// could not open it. Others may read the file but neither write nor delete
// it, as with the files of a running program: the updater's backup copy
// reads them.

#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  const HANDLE arquivo = argc == 2 ? ::CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, 0, nullptr)
                                   : INVALID_HANDLE_VALUE;
  char c = arquivo != INVALID_HANDLE_VALUE ? '1' : '0';
  DWORD n = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), &c, 1, &n, nullptr);
  while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), &c, 1, &n, nullptr) && n > 0) {
  }
  return 0;
}
