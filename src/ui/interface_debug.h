#ifndef TARVIK_UI_INTERFACE_DEBUG_H_
#define TARVIK_UI_INTERFACE_DEBUG_H_

#include <string>

#include "ui/interface_visual.h"

namespace tarvik {

// The window-less display: it only keeps the last texts, shows nothing and
// logs nothing.
class InterfaceDebug : public IInterfaceVisual {
 public:
  void Titulo(const std::string& valor) override { titulo_ = valor; }
  std::string Titulo() const override { return titulo_; }
  void Mensagem(const std::string& valor) override { mensagem_ = valor; }
  std::string Mensagem() const override { return mensagem_; }
  // The title first, then the message.
  void TrocaMensagemTitulo(const std::string& ptitulo, const std::string& pmensagem) override {
    Titulo(ptitulo);
    Mensagem(pmensagem);
  }
  void Finaliza() override {}

 private:
  std::string titulo_;
  std::string mensagem_;
};

}  // namespace tarvik

#endif  // TARVIK_UI_INTERFACE_DEBUG_H_
