#ifndef TARVIK_SERVER_PROCESSAMENTO_H_
#define TARVIK_SERVER_PROCESSAMENTO_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "descriptor/dados_atualizacao.h"
#include "descriptor/resultado.h"

namespace tarvik {

// Text of the server's answer: one character per byte, in the ANSI code page.
std::string BytesParaTexto(std::string_view bytes);

// The conversations with the update server: one call of
// `ProcessaAtualizacaoAtualizador` asks whether an update is due, has it
// applied, reports the outcome and returns the result code.
class Processamento {
 public:
  // Whether the progress display may show itself (true on creation).
  bool ExibeInterface() const { return exibeInterface_; }
  void ExibeInterface(bool valor) { exibeInterface_ = valor; }

  // One conversation for the updater's own files (`atualizador` true) or the
  // main application's. Returns 0 (no update due, or applied), 1 (server not
  // reached, not 200, an answer that cannot be read, or an update that failed
  // and was undone), 2 (an application file in use; undone) or 4 (updater
  // files in use; the restart batch is written). An `Erro` raised while the
  // update is applied travels on.
  Resultado ProcessaAtualizacaoAtualizador(const std::string& versaoAtual,
                                           const std::string& pastaBase, const std::string& urlBase,
                                           const std::string& idInstalacao, bool atualizador,
                                           const std::string& conta, const std::string& cnpj);

  // The descriptor in `conteudo`; raises `Erro` when it cannot be read. The
  // check reads its answer through this member, which the class exposes as
  // one of its operations; it delegates to the free function, which the
  // publishing tools and the fuzz target use without a `Processamento`.
  DadosAtualizacao RecuperaDadosAtualizacao(const std::string& conteudo);

  // One line of the update log.
  void Registro(const std::string& linha, const std::string& categoria = {});

 private:
  bool exibeInterface_ = true;
};

}  // namespace tarvik

#endif  // TARVIK_SERVER_PROCESSAMENTO_H_
