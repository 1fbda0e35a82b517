#ifndef TARVIK_UI_WIN32_FRM_PROGRESSO_H_
#define TARVIK_UI_WIN32_FRM_PROGRESSO_H_

#include <windows.h>

#include <memory>
#include <string>

#include "ui/interface_visual.h"
#include "ui/win32/objeto_gdi.h"

namespace tarvik {

// frmProgresso, the progress window: a fixed dialog captioned "Atualizador
// TARVIK" with the program's icon, placed by the system, whose white client
// area of 762 x 610 pixels shows bitmap resource 102 unscaled at its
// top-left corner under two labels, `lbTitulo` (bold, sized to its text)
// and `lbMensagens` (wrapping within three lines). Every change of a text
// lets the window system handle all pending messages, so the window
// repaints at once. A window closed by hand is gone; the texts then read
// empty and their changes are dropped.
class FrmProgresso : public IInterfaceVisual {
 public:
  // Creates and shows the window with the labels' first captions; null when
  // it cannot be made (no visible window station, the system refuses it).
  static std::unique_ptr<FrmProgresso> Cria();
  ~FrmProgresso() override;
  FrmProgresso(const FrmProgresso&) = delete;
  FrmProgresso& operator=(const FrmProgresso&) = delete;

  void Titulo(const std::string& valor) override;
  std::string Titulo() const override;
  void Mensagem(const std::string& valor) override;
  std::string Mensagem() const override;
  // The message first, then the title: two repaints.
  void TrocaMensagemTitulo(const std::string& ptitulo, const std::string& pmensagem) override;
  // Hides the window, then destroys it.
  void Finaliza() override;

 private:
  FrmProgresso() = default;

  static LRESULT CALLBACK Procedimento(HWND janela, UINT mensagem, WPARAM w, LPARAM l);
  bool CriaJanela(HINSTANCE programa);
  void PintaFundo(HDC dc) const;
  void AjustaTituloAoTexto() const;

  UniqueGdiObject<HBITMAP> fundo_;
  UniqueGdiObject<HFONT> fonteTitulo_;
  UniqueGdiObject<HFONT> fonteMensagens_;
  HWND janela_ = nullptr;
  HWND lbTitulo_ = nullptr;
  HWND lbMensagens_ = nullptr;
};

}  // namespace tarvik

#endif  // TARVIK_UI_WIN32_FRM_PROGRESSO_H_
