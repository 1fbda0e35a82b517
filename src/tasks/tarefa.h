#ifndef TARVIK_TASKS_TAREFA_H_
#define TARVIK_TASKS_TAREFA_H_

#include <cstdint>
#include <memory>
#include <string>

#include "base/colecao.h"
#include "descriptor/resultado.h"
#include "tasks/contexto_execucao.h"
#include "tasks/item_em_uso.h"

namespace tarvik {

// Codes of the task kinds. 9, 10, 12, 13 and 14 are also the action codes of
// the descriptor's entries; 1 and 11 are no task.
namespace codigo_tarefa {
inline constexpr int32_t kBaixarArquivo = 0;
inline constexpr int32_t kAguardarFimArquivosBaixar = 2;
inline constexpr int32_t kVerificarExistenciaArquivo = 3;
inline constexpr int32_t kVerificarExistenciaPasta = 4;
inline constexpr int32_t kVerificarVersaoArquivoSubstituido = 5;
inline constexpr int32_t kVerificarPermissaoGravacaoPastas = 6;
inline constexpr int32_t kVerificarValidadeArquivo = 7;
inline constexpr int32_t kEfetuarCopiaSeguranca = 8;
inline constexpr int32_t kSubstituirArquivo = 9;
inline constexpr int32_t kCopiarNovoArquivo = 10;
inline constexpr int32_t kRemoverArquivo = 12;
inline constexpr int32_t kRemoverPasta = 13;
inline constexpr int32_t kCriarPasta = 14;
inline constexpr int32_t kExibirMensagem = 15;
inline constexpr int32_t kVerificarArquivoOriginal = 16;
}  // namespace codigo_tarefa

class UtilitariosDaChamada;

// One step of an update script: a task code and its text details.
//
// Errors: a code without a name raises 2 ("Tarefa desconhecida: " + code)
// from every operation that needs the name or the progress text; a detail
// position that does not exist raises 9 from the detail list; platform and
// component failures outside the guarded steps travel unchanged.
class Tarefa {
 public:
  // The task code; a new task is a download (0).
  int32_t Codigo() const { return codigo_; }
  void Codigo(int32_t valor) { codigo_ = valor; }

  // Appends one detail at the end.
  void AdicionaDetalhe(const std::string& detalhe) { detalhes_.Adiciona(detalhe); }

  // The task's own details, positions from 1.
  Colecao<std::string>& Detalhes() { return detalhes_; }
  const Colecao<std::string>& Detalhes() const { return detalhes_; }

  // Logs "name: [detail] [detail] ", category INFO.
  void Registra() const;

  // Runs the task between its "Executando [" and "Resultado da tarefa: ["
  // lines and returns 0, 1 or 4. Only the file tasks use `contexto`, to
  // record files found in use and to make their copies; `simulado` is
  // consulted by no task. An error
  // raised by the work leaves at once, without the result line.
  Resultado Executa(ContextoExecucao& contexto, bool simulado);

  // The task's name, as "BaixarArquivo" for 0.
  std::string NomeTarefa() const;

  // Undoes the task after a failed run: a download removes its file, a
  // backup puts the installed file back; the others only log. Problems on
  // disk are logged as warnings and do not stop the undo.
  void Desfazer();

  // The progress text shown while the task runs.
  std::string MensagemTarefa() const;

 private:
  const std::string& Detalhe(int32_t posicao) const { return detalhes_.Item(posicao); }
  void ExigeDetalhes() const;

  Resultado ExecutaTrabalho(ContextoExecucao& contexto, UtilitariosDaChamada& utilitarios);

  Resultado BaixaArquivo(UtilitariosDaChamada& utilitarios);
  Resultado VerificaExistencia(UtilitariosDaChamada& utilitarios);
  Resultado VerificaPermissaoGravacao(UtilitariosDaChamada& utilitarios);
  Resultado VerificaValidade(UtilitariosDaChamada& utilitarios);
  void VerificaArquivoOriginal(UtilitariosDaChamada& utilitarios);
  // Size, hash and (when required) signature of `arquivo`, each mismatch
  // logged with `categoria`; true when all match.
  bool ConfereArquivo(UtilitariosDaChamada& utilitarios, const std::string& arquivo,
                      const std::string& categoria);
  Resultado EfetuaCopiaSeguranca(ContextoExecucao& contexto, UtilitariosDaChamada& utilitarios);
  // Whether `instalado` already holds the content of detail 4 (the hash the
  // update installs; absent or empty for a removal).
  bool JaInstalado(UtilitariosDaChamada& utilitarios, const std::string& instalado) const;
  Resultado CopiaArquivo(ContextoExecucao& contexto, UtilitariosDaChamada& utilitarios);
  Resultado RemoveArquivo(ContextoExecucao& contexto, UtilitariosDaChamada& utilitarios);
  Resultado RemovePasta(UtilitariosDaChamada& utilitarios);
  Resultado CriaPastas(UtilitariosDaChamada& utilitarios);
  void ExibeMensagem();

  void DesfazBaixarArquivo(UtilitariosDaChamada& utilitarios);
  void DesfazCopiaSeguranca();

  // A record of a file in use; Destino stays empty for a delete (acao 1).
  static std::shared_ptr<ItemEmUso> CriaItemEmUso(int32_t acao, const std::string& origem,
                                                  const std::string& destino);
  // Clears the read-only attribute of `arquivo`; false, logged, when the
  // attributes cannot be read or the bit cannot be cleared.
  static bool RemoveSomenteLeitura(const std::string& arquivo);

  int32_t codigo_ = codigo_tarefa::kBaixarArquivo;
  Colecao<std::string> detalhes_;
};

}  // namespace tarvik

#endif  // TARVIK_TASKS_TAREFA_H_
