#ifndef TARVIK_UI_LINHA_PROGRESSO_H_
#define TARVIK_UI_LINHA_PROGRESSO_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "ui/interface_visual.h"

namespace tarvik {

// The progress display as one line of a text terminal: the title and the
// message, redrawn in place on every change ("\r", the text, erase to the
// end of the line). The text is cut to the terminal's width, so the line
// never wraps and the next redraw still covers it.
class LinhaProgresso : public IInterfaceVisual {
 public:
  using Escrita = std::function<void(std::string_view)>;

  // `escreve` receives every byte for the terminal; `colunas` is its width.
  LinhaProgresso(Escrita escreve, size_t colunas);

  void Titulo(const std::string& valor) override;
  std::string Titulo() const override { return titulo_; }
  void Mensagem(const std::string& valor) override;
  std::string Mensagem() const override { return mensagem_; }
  // The message first, then the title: two redraws, as the window does.
  void TrocaMensagemTitulo(const std::string& ptitulo, const std::string& pmensagem) override;
  // Erases the line, leaving the cursor at its start; the texts stay
  // readable.
  void Finaliza() override;

 private:
  void Redesenha();

  Escrita escreve_;
  size_t colunas_;
  std::string titulo_;
  std::string mensagem_;
};

}  // namespace tarvik

#endif  // TARVIK_UI_LINHA_PROGRESSO_H_
