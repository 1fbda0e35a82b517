// Stand-in for the main application: appends "iniciado <arguments>" to
// aplicativo.txt in its own folder at each start.

#include <windows.h>

#include <string>

int main() {
  std::wstring pasta(MAX_PATH, L'\0');
  pasta.resize(::GetModuleFileNameW(nullptr, pasta.data(), MAX_PATH));
  pasta.resize(pasta.find_last_of(L'\\') + 1);
  // The arguments as they came, after the program's name.
  std::string argumentos = ::GetCommandLineA();
  const bool aspas = !argumentos.empty() && argumentos[0] == '"';
  argumentos.erase(0, aspas ? argumentos.find('"', 1) + 1 : argumentos.find(' '));
  argumentos.erase(0, argumentos.find_first_not_of(' '));
  const std::string linha = "iniciado " + argumentos + "\n";
  const HANDLE registro = ::CreateFileW((pasta + L"aplicativo.txt").c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD escritos = 0;
  ::WriteFile(registro, linha.data(), static_cast<DWORD>(linha.size()), &escritos, nullptr);
  ::CloseHandle(registro);
  return 0;
}
