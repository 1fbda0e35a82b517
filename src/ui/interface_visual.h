#ifndef TARVIK_UI_INTERFACE_VISUAL_H_
#define TARVIK_UI_INTERFACE_VISUAL_H_

#include <string>

namespace tarvik {

// The progress display of one update check: a title (the phase) and a
// message (the current step).
class IInterfaceVisual {
 public:
  virtual ~IInterfaceVisual() = default;

  virtual void Titulo(const std::string& valor) = 0;
  virtual std::string Titulo() const = 0;
  virtual void Mensagem(const std::string& valor) = 0;
  virtual std::string Mensagem() const = 0;
  // Sets both texts; each implementation fixes the order.
  virtual void TrocaMensagemTitulo(const std::string& ptitulo, const std::string& pmensagem) = 0;
  // Ends the display; no text is set afterwards.
  virtual void Finaliza() = 0;
};

}  // namespace tarvik

#endif  // TARVIK_UI_INTERFACE_VISUAL_H_
