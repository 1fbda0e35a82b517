// The watcher that closes the updater's message boxes under test, as a user
// would click OK.

#include <windows.h>

#include <atomic>
#include <set>
#include <thread>

#include "e2e/instalacao_e2e.h"
#include "platform/win32/wide_text.h"

namespace tarvik::teste {
namespace {

constexpr int kTextoCaixa = 0xFFFF;  // the static control of a message box's text

std::string TextoJanela(HWND janela) {
  std::wstring texto(static_cast<size_t>(::GetWindowTextLengthW(janela)) + 1, L'\0');
  texto.resize(
      static_cast<size_t>(::GetWindowTextW(janela, texto.data(), static_cast<int>(texto.size()))));
  std::string utf8 = platform::FromWide(texto);
  for (size_t cr; (cr = utf8.find("\r\n")) != std::string::npos;) utf8.erase(cr, 1);
  return utf8;
}

bool DoPrograma(HWND janela, const std::filesystem::path& programa) {
  DWORD id = 0;
  ::GetWindowThreadProcessId(janela, &id);
  const HANDLE processo = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (processo == nullptr) return false;
  wchar_t imagem[MAX_PATH];
  DWORD tamanho = MAX_PATH;
  const bool lido = ::QueryFullProcessImageNameW(processo, 0, imagem, &tamanho);
  ::CloseHandle(processo);
  std::error_code erro;
  return lido && std::filesystem::equivalent(std::wstring(imagem, tamanho), programa, erro);
}

struct Vigia {
  const std::filesystem::path& programa;
  std::set<HWND> fechadas;
  std::string texto;
};

BOOL CALLBACK ExaminaJanela(HWND janela, LPARAM parametro) {
  auto& vigia = *reinterpret_cast<Vigia*>(parametro);
  wchar_t classe[16];
  if (::GetClassNameW(janela, classe, 16) == 0 || std::wstring_view(classe) != L"#32770" ||
      !::IsWindowVisible(janela) || vigia.fechadas.contains(janela) ||
      !DoPrograma(janela, vigia.programa)) {
    return TRUE;
  }
  vigia.texto += TextoJanela(janela) + "\n" + TextoJanela(::GetDlgItem(janela, kTextoCaixa)) + "\n";
  vigia.fechadas.insert(janela);
  // The only button of the updater's boxes is OK.
  ::SendMessageW(::FindWindowExW(janela, nullptr, L"Button", nullptr), BM_CLICK, 0, 0);
  return TRUE;
}

}  // namespace

std::string FechandoCaixas(const std::filesystem::path& programa,
                           const std::function<void()>& executa) {
  Vigia vigia{programa, {}, {}};
  std::atomic<bool> fim = false;
  std::thread observador([&] {
    // A box blocks the updater until closed: it is always seen before the
    // run ends.
    while (!fim) {
      ::EnumWindows(ExaminaJanela, reinterpret_cast<LPARAM>(&vigia));
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  try {
    executa();
  } catch (...) {
    fim = true;
    observador.join();
    throw;
  }
  fim = true;
  observador.join();
  return vigia.texto;
}

}  // namespace tarvik::teste
