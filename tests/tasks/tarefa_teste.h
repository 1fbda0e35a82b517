#ifndef TARVIK_TESTS_TASKS_TAREFA_TESTE_H_
#define TARVIK_TESTS_TASKS_TAREFA_TESTE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <regex>
#include <string>

#include "platform/files.h"
#include "support/arvore_arquivos.h"
#include "support/erro_teste.h"
#include "support/instalacao_teste.h"
#include "support/registro_teste.h"
#include "tasks/contexto_execucao.h"
#include "tasks/tarefa.h"

namespace tarvik::teste {

// A task test in a fresh installation folder with a fixed clock, one
// execution context and the log to read back.
class TarefaTeste : public ::testing::Test {
 protected:
  static Tarefa Cria(int32_t codigo, std::initializer_list<std::string> detalhes) {
    Tarefa tarefa;
    for (const auto& detalhe : detalhes) tarefa.AdicionaDetalhe(detalhe);
    tarefa.Codigo(codigo);
    return tarefa;
  }
  Resultado Executa(Tarefa tarefa) { return tarefa.Executa(contexto_, true); }
  // Task `codigo` on `caminhos`, paths in the installation folder.
  Tarefa CriaEm(int32_t codigo, std::initializer_list<std::string> caminhos) const {
    Tarefa tarefa = Cria(codigo, {});
    for (const auto& caminho : caminhos) tarefa.AdicionaDetalhe(Em(caminho));
    return tarefa;
  }

  // Full path of `relativo` in the installation folder.
  std::string Em(const std::string& relativo) const { return instalacao_.Pasta().Em(relativo); }
  void SomenteLeitura(const std::string& relativo) const {
    platform::SetAttributes(Em(relativo), platform::kAttributeReadOnly);
  }
  // Writes the files and folders that `arvore` names in the notation of
  // `Arquivos`, with the folders they need.
  void Prepara(const std::string& arvore) const {
    for (size_t inicio = 0, fim; (fim = arvore.find("; ", inicio)) != std::string::npos;
         inicio = fim + 2) {
      const std::string entrada = arvore.substr(inicio, fim - inicio);
      const size_t igual = entrada.find('=');
      if (igual == std::string::npos) std::filesystem::create_directories(Em(entrada));
      if (igual != std::string::npos)
        EscreveArquivo(Em(entrada.substr(0, igual)), entrada.substr(igual + 1));
    }
  }
  // The files and folders of the installation as "path=content" and
  // "path/", in path order, each followed by "; "; the log is left out.
  std::string Arquivos() const {
    std::string texto;
    for (const auto& [caminho, conteudo] : ArvoreArquivos(instalacao_.Pasta().Caminho())) {
      texto.append(caminho).append(conteudo == kPasta ? "/" : "=" + conteudo).append("; ");
    }
    return texto;
  }

  // The log as `TextoRegistro` gives it, with the names the component gives
  // temporary files made uniform ("teste??????").
  std::string RegistroCompleto() const {
    static const std::regex kTemporario("([/\\\\])teste[A-Za-z0-9]{6}\\]");
    return std::regex_replace(instalacao_.TextoRegistro(), kTemporario, "$1teste??????]");
  }
  // The tasks' own lines: without the two lines around every run, which
  // come from one place for all tasks and are checked on their own.
  std::string Registro() const {
    static const std::regex kMoldura("\nINFO - (Executando \\[|Resultado da tarefa: \\[)[^\n]*");
    return std::regex_replace(RegistroCompleto(), kMoldura, "");
  }

  InstalacaoTeste instalacao_{kMomentoRegistro};
  ContextoExecucao contexto_;
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_TASKS_TAREFA_TESTE_H_
