#include "support/aviso_teste.h"

#ifdef _WIN32
#include <windows.h>

#include <set>
#include <string_view>
#include <utility>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "support/win32/imagem_tela.h"
#else
#include <gtest/gtest.h>
#endif

namespace tarvik::teste {

#ifdef _WIN32
namespace {

constexpr int kTextoCaixa = 0xFFFF;  // the static control of a message box's text

std::string TextoJanela(HWND janela) {
  std::wstring texto(static_cast<size_t>(::GetWindowTextLengthW(janela)) + 1, L'\0');
  texto.resize(
      static_cast<size_t>(::GetWindowTextW(janela, texto.data(), static_cast<int>(texto.size()))));
  std::string utf8 = platform::FromWide(texto);
  std::erase(utf8, '\r');  // line breaks are CR LF
  return utf8;
}

bool DoPrograma(DWORD id, const std::filesystem::path& programa) {
  const platform::UniqueHandle processo(
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  wchar_t imagem[MAX_PATH];
  DWORD tamanho = MAX_PATH;
  std::error_code erro;
  return processo.Valid() && ::QueryFullProcessImageNameW(processo.Get(), 0, imagem, &tamanho) &&
         std::filesystem::equivalent(std::wstring(imagem, tamanho), programa, erro);
}

// Whether the screen shows `icone` in `controle`: the pixels that the icon
// covers whole (the same over black and over white) are its own.
bool MostraIcone(HWND controle, HICON icone) {
  const Imagem tela = CapturaCliente(controle);
  const Imagem preto = DesenhaIcone(icone, tela.largura, RGB(0, 0, 0));
  const Imagem branco = DesenhaIcone(icone, tela.largura, RGB(255, 255, 255));
  bool algum = false;
  for (size_t i = 0; i < tela.pixels.size() && i < preto.pixels.size(); ++i) {
    if (preto.pixels[i] != branco.pixels[i]) continue;
    if (tela.pixels[i] != preto.pixels[i]) return false;
    algum = true;
  }
  return algum;
}

// The box shows one of the system's shared icons. On Windows their handles
// are the same in every process; Wine gives each process handles of its
// own, so a box of another process is told by the picture on the screen,
// which it may not have painted yet when it first shows.
BOOL CALLBACK LeIcone(HWND filho, LPARAM severidade) {
  if ((::GetWindowLongW(filho, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
  const std::pair<HICON, const char*> kIcones[] = {
      {::LoadIcon(nullptr, IDI_ERROR), " - Erro"},
      {::LoadIcon(nullptr, IDI_INFORMATION), " - Informação"}};
  auto& texto = *reinterpret_cast<std::string*>(severidade);
  const auto icone = reinterpret_cast<HICON>(::SendMessageW(filho, STM_GETICON, 0, 0));
  for (const auto& [sistema, nome] : kIcones) {
    if (icone == sistema) return texto = nome, FALSE;
  }
  for (int vez = 0; vez < 200; ++vez, ::Sleep(10)) {
    for (const auto& [sistema, nome] : kIcones) {
      if (MostraIcone(filho, sistema)) return texto = nome, FALSE;
    }
  }
  texto = " - ?";
  return FALSE;
}

struct Busca {
  const std::filesystem::path& programa;
  std::set<HWND>& fechadas;
  std::mutex& mutex;
  std::string& lidos;
};

BOOL CALLBACK ExaminaJanela(HWND janela, LPARAM parametro) {
  auto& busca = *reinterpret_cast<Busca*>(parametro);
  wchar_t classe[16];
  DWORD id = 0;
  ::GetWindowThreadProcessId(janela, &id);
  const bool propria = id == ::GetCurrentProcessId();
  if (::GetClassNameW(janela, classe, 16) == 0 || std::wstring_view(classe) != L"#32770" ||
      !::IsWindowVisible(janela) || busca.fechadas.contains(janela) ||
      (busca.programa.empty() ? !propria : !DoPrograma(id, busca.programa))) {
    return TRUE;
  }
  std::string severidade;
  ::EnumChildWindows(janela, LeIcone, reinterpret_cast<LPARAM>(&severidade));
  {
    std::lock_guard trava(busca.mutex);
    busca.lidos += TextoJanela(janela) + severidade + "\n" +
                   TextoJanela(::GetDlgItem(janela, kTextoCaixa)) + "\n";
  }
  busca.fechadas.insert(janela);
  // The only button of the boxes under test is OK.
  ::SendMessageW(::FindWindowExW(janela, nullptr, L"Button", nullptr), BM_CLICK, 0, 0);
  return TRUE;
}

}  // namespace

// A box blocks what shows it until closed: it is always seen before that
// ends.
AvisosCapturados::AvisosCapturados(std::filesystem::path programa)
    : programa_(std::move(programa)), vigia_([this] {
        std::set<HWND> fechadas;
        Busca busca{programa_, fechadas, mutex_, lidos_};
        for (; !encerrando_; ::Sleep(10)) {
          ::EnumWindows(ExaminaJanela, reinterpret_cast<LPARAM>(&busca));
        }
      }) {}

AvisosCapturados::~AvisosCapturados() {
  encerrando_ = true;
  vigia_.join();
}

std::string AvisosCapturados::Texto() {
  std::lock_guard trava(mutex_);
  return lidos_;
}
#else
AvisosCapturados::AvisosCapturados() { testing::internal::CaptureStderr(); }

AvisosCapturados::~AvisosCapturados() { Texto(); }

std::string AvisosCapturados::Texto() {
  if (!texto_) texto_ = testing::internal::GetCapturedStderr();
  return *texto_;
}
#endif

}  // namespace tarvik::teste
