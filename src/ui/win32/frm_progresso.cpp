#include "ui/win32/frm_progresso.h"

#include "platform/win32/wide_text.h"
#include "ui/mensagens_pendentes.h"
#include "ui/win32/fonte_rotulo.h"
#include "ui/win32/recursos/recursos.h"

namespace tarvik {
namespace {

constexpr wchar_t kClasse[] = L"frmProgresso";
constexpr wchar_t kCaption[] = L"Atualizador TARVIK";
constexpr SIZE kAreaCliente{762, 610};
// A fixed dialog: no sizing border, no minimize or maximize button.
constexpr DWORD kEstilo = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kEstiloEstendido = WS_EX_DLGMODALFRAME;
constexpr COLORREF kBranco = RGB(255, 255, 255);

struct Rotulo {
  int id;
  int x, y, largura, altura;
  const wchar_t* inicial;
  DWORD estilo;
};
// The title on one line; the message wraps.
constexpr Rotulo kTitulo{1, 8, 8, 136, 24, L"###lbTitulo###", SS_LEFTNOWORDWRAP};
constexpr Rotulo kMensagens{2, 8, 56, 745, 81, L"###lbMensagens###", SS_LEFT};

// Whether this process's window station shows windows to a user (not the
// hidden one of a service).
bool EstacaoVisivel() {
  USEROBJECTFLAGS sinais{};
  const HWINSTA estacao = ::GetProcessWindowStation();
  return estacao &&
         ::GetUserObjectInformationW(estacao, UOI_FLAGS, &sinais, sizeof sinais, nullptr) &&
         (sinais.dwFlags & WSF_VISIBLE) != 0;
}

HWND CriaRotulo(HWND janela, HINSTANCE programa, const Rotulo& rotulo, HFONT fonte) {
  const HWND criado = ::CreateWindowExW(
      0, L"STATIC", rotulo.inicial, WS_CHILD | WS_VISIBLE | SS_NOPREFIX | rotulo.estilo, rotulo.x,
      rotulo.y, rotulo.largura, rotulo.altura, janela,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(rotulo.id)), programa, nullptr);
  if (criado) ::SendMessageW(criado, WM_SETFONT, reinterpret_cast<WPARAM>(fonte), FALSE);
  return criado;
}

std::string TextoDe(HWND rotulo) {
  if (!rotulo) return {};
  std::wstring texto(static_cast<size_t>(::GetWindowTextLengthW(rotulo)) + 1, L'\0');
  texto.resize(
      static_cast<size_t>(::GetWindowTextW(rotulo, texto.data(), static_cast<int>(texto.size()))));
  return platform::FromWide(texto);
}

}  // namespace

std::unique_ptr<FrmProgresso> FrmProgresso::Cria() {
  if (!EstacaoVisivel()) return nullptr;
  const HINSTANCE programa = ::GetModuleHandleW(nullptr);
  std::unique_ptr<FrmProgresso> frm(new FrmProgresso);
  if (!frm->CriaJanela(programa)) return nullptr;
  ::ShowWindow(frm->janela_, SW_SHOWNORMAL);
  ProcessaMensagensPendentes();
  return frm;
}

bool FrmProgresso::CriaJanela(HINSTANCE programa) {
  WNDCLASSEXW classe{};
  classe.cbSize = sizeof classe;
  classe.lpfnWndProc = Procedimento;
  classe.hInstance = programa;
  classe.hIcon = static_cast<HICON>(
      ::LoadImageW(programa, MAKEINTRESOURCEW(TARVIK_ICONE), IMAGE_ICON, 32, 32, LR_SHARED));
  classe.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  classe.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  classe.lpszClassName = kClasse;
  if (!::RegisterClassExW(&classe) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  // Without the picture the window still shows its texts, on white.
  fundo_ = UniqueGdiObject<HBITMAP>(
      static_cast<HBITMAP>(::LoadImageW(programa, MAKEINTRESOURCEW(TARVIK_FUNDO_PROGRESSO),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  fonteTitulo_ = CriaFonteRotulo(FW_BOLD);
  fonteMensagens_ = CriaFonteRotulo(FW_NORMAL);

  RECT area{0, 0, kAreaCliente.cx, kAreaCliente.cy};
  ::AdjustWindowRectEx(&area, kEstilo, FALSE, kEstiloEstendido);
  janela_ = ::CreateWindowExW(kEstiloEstendido, kClasse, kCaption, kEstilo, CW_USEDEFAULT,
                              CW_USEDEFAULT, area.right - area.left, area.bottom - area.top,
                              nullptr, nullptr, programa, this);
  if (!janela_) return false;
  lbTitulo_ = CriaRotulo(janela_, programa, kTitulo, fonteTitulo_.Get());
  lbMensagens_ = CriaRotulo(janela_, programa, kMensagens, fonteMensagens_.Get());
  if (!lbTitulo_ || !lbMensagens_) return false;
  AjustaTituloAoTexto();
  return true;
}

FrmProgresso::~FrmProgresso() {
  if (janela_) ::DestroyWindow(janela_);
}

void FrmProgresso::Titulo(const std::string& valor) {
  if (!lbTitulo_) return;
  ::SetWindowTextW(lbTitulo_, platform::ToWide(valor).c_str());
  AjustaTituloAoTexto();
  ProcessaMensagensPendentes();
}

std::string FrmProgresso::Titulo() const { return TextoDe(lbTitulo_); }

void FrmProgresso::Mensagem(const std::string& valor) {
  if (!lbMensagens_) return;
  ::SetWindowTextW(lbMensagens_, platform::ToWide(valor).c_str());
  ProcessaMensagensPendentes();
}

std::string FrmProgresso::Mensagem() const { return TextoDe(lbMensagens_); }

void FrmProgresso::TrocaMensagemTitulo(const std::string& ptitulo, const std::string& pmensagem) {
  Mensagem(pmensagem);
  Titulo(ptitulo);
}

void FrmProgresso::Finaliza() {
  if (!janela_) return;
  ::ShowWindow(janela_, SW_HIDE);
  ::DestroyWindow(janela_);
}

// The label's size follows its text, on one line.
void FrmProgresso::AjustaTituloAoTexto() const {
  std::wstring texto(static_cast<size_t>(::GetWindowTextLengthW(lbTitulo_)) + 1, L'\0');
  texto.resize(static_cast<size_t>(
      ::GetWindowTextW(lbTitulo_, texto.data(), static_cast<int>(texto.size()))));
  RECT medida{};
  const HDC dc = ::GetDC(lbTitulo_);
  const HGDIOBJ anterior = ::SelectObject(dc, fonteTitulo_.Get());
  ::DrawTextW(dc, texto.c_str(), static_cast<int>(texto.size()), &medida,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, anterior);
  ::ReleaseDC(lbTitulo_, dc);
  ::SetWindowPos(lbTitulo_, nullptr, 0, 0, medida.right, medida.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// White, with the picture at the top-left corner.
void FrmProgresso::PintaFundo(HDC dc) const {
  RECT cliente;
  ::GetClientRect(janela_, &cliente);
  ::FillRect(dc, &cliente, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  BITMAP figura;
  if (!fundo_.Get() || !::GetObjectW(fundo_.Get(), sizeof figura, &figura)) return;
  const HDC memoria = ::CreateCompatibleDC(dc);
  const HGDIOBJ anterior = ::SelectObject(memoria, fundo_.Get());
  ::BitBlt(dc, 0, 0, figura.bmWidth, figura.bmHeight, memoria, 0, 0, SRCCOPY);
  ::SelectObject(memoria, anterior);
  ::DeleteDC(memoria);
}

LRESULT CALLBACK FrmProgresso::Procedimento(HWND janela, UINT mensagem, WPARAM w, LPARAM l) {
  if (mensagem == WM_NCCREATE) {
    const auto* criacao = reinterpret_cast<const CREATESTRUCTW*>(l);
    ::SetWindowLongPtrW(janela, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(criacao->lpCreateParams));
  }
  auto* frm = reinterpret_cast<FrmProgresso*>(::GetWindowLongPtrW(janela, GWLP_USERDATA));
  if (!frm) return ::DefWindowProcW(janela, mensagem, w, l);
  switch (mensagem) {
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT:
      frm->PintaFundo(reinterpret_cast<HDC>(w));
      return 1;
    case WM_CTLCOLORSTATIC: {
      const auto dc = reinterpret_cast<HDC>(w);
      ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
      ::SetBkColor(dc, kBranco);
      return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }
    case WM_NCDESTROY:
      // Closed by hand or by Finaliza: the labels went with it.
      frm->janela_ = frm->lbTitulo_ = frm->lbMensagens_ = nullptr;
      ::SetWindowLongPtrW(janela, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return ::DefWindowProcW(janela, mensagem, w, l);
}

}  // namespace tarvik
