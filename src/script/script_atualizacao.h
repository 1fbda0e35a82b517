#ifndef TARVIK_SCRIPT_SCRIPT_ATUALIZACAO_H_
#define TARVIK_SCRIPT_SCRIPT_ATUALIZACAO_H_

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "base/colecao.h"
#include "descriptor/dados_atualizacao.h"
#include "tasks/item_em_uso.h"
#include "tasks/tarefa.h"
#include "ui/interface_visual.h"

namespace tarvik {

// Applies one update: turns a parsed descriptor into an ordered script of
// tasks, lists it in the log, runs it, and undoes the executed tasks newest
// first when one fails.
class ScriptAtualizacao {
 public:
  // Runs the update of the installation in `pastaBase` (installed version
  // `versaoAtual`) and returns 0 (SucessoInstalacao), 1 (FalhaInstalacao,
  // undone), 2 (FalhaArquivosEmUso, undone: a file was in use and
  // `falhaComArquivosEmUso` is true) or 4 (ArquivosEmUsoReiniciar: files in
  // use were left for the restart batch, see `ListaArquivosEmUso`; only a
  // run that was not undone). A descriptor that asks for no update returns
  // 0 and changes nothing.
  //
  // Any exception raised while the tasks run, an Erro or not, first has the
  // executed tasks undone, newest first, and then travels on unchanged: a
  // half-applied update is never left in place.
  Resultado Processa(const std::string& pastaBase, const std::string& versaoAtual,
                     const DadosAtualizacao& dados, bool falhaComArquivosEmUso,
                     IInterfaceVisual& visual);

  // The files left in use for the restart batch. Null until a run ends
  // with 4; it is the run's own list, in the order the tasks recorded them.
  std::shared_ptr<const ListaItensEmUso> ListaArquivosEmUso() const { return listaArquivosEmUso_; }

  // The installed path of an entry: the destination with "$base$" resolved,
  // followed by the file name. Never fails. This and the next are the
  // script's own operations; they delegate to the free functions of
  // descriptor/caminhos.h, which the publisher uses without a script.
  static std::string ObtemNomeArquivoInstalado(const std::string& pastaBase,
                                               const std::string& pastaDestino,
                                               const std::string& arquivoDestino);

  // The versioned working name, as temp\app.dll-4.1-3. Never fails.
  static std::string ObtemNomeArquivoTemporario(const std::string& pastaTemporaria,
                                                const std::string& arquivoDestino,
                                                const std::string& versaoArquivo, int32_t indice);

 private:
  // One detail value as the script writes it: text as it is, numbers in
  // decimal, flags as the tasks read them back.
  class ValorDetalhe {
   public:
    // Implicit, so that a task is written as its list of values.
    ValorDetalhe(const char* texto) : texto_(texto) {}
    ValorDetalhe(const std::string& texto) : texto_(texto) {}
    ValorDetalhe(int32_t numero) : texto_(std::to_string(numero)) {}
    ValorDetalhe(bool logico);
    const std::string& Texto() const { return texto_; }

   private:
    std::string texto_;
  };

  using ListaTarefas = Colecao<std::shared_ptr<Tarefa>>;

  // A new task with `detalhes` appended in order, then its code set.
  static std::shared_ptr<Tarefa> CriaTarefa(int32_t codigo,
                                            std::initializer_list<ValorDetalhe> detalhes);
  void AdicionaTarefa(int32_t codigo, std::initializer_list<ValorDetalhe> detalhes);
  void MontaScript(const std::string& pastaBase, const std::string& versaoAtual,
                   const DadosAtualizacao& dados);
  void ListaScript(IInterfaceVisual& visual) const;
  Resultado ExecutaScript(bool falhaComArquivosEmUso, IInterfaceVisual& visual);

  ListaTarefas tarefas_;
  // Position (from 0) of the first task that changes the installation.
  size_t inicioAcoes_ = 0;
  std::shared_ptr<ListaItensEmUso> listaArquivosEmUso_;
};

}  // namespace tarvik

#endif  // TARVIK_SCRIPT_SCRIPT_ATUALIZACAO_H_
