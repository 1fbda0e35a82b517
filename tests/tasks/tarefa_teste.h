#ifndef TARVIK_TESTS_TASKS_TAREFA_TESTE_H_
#define TARVIK_TESTS_TASKS_TAREFA_TESTE_H_

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "base/erro.h"
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

  Resultado Executa(Tarefa& tarefa) { return tarefa.Executa(contexto_, true); }

  // Full path of `relativo` in the installation folder.
  std::string Em(const std::string& relativo) const { return instalacao_.Pasta().Em(relativo); }

  std::vector<std::string> Registro() const { return instalacao_.LinhasRegistro(); }

  InstalacaoTeste instalacao_{kMomentoRegistro};
  ContextoExecucao contexto_;
};

using Linhas = std::vector<std::string>;

// The frame lines around a task's own lines.
inline std::string Executando(const std::string& nome, int quantidade) {
  return LinhaInfo("Executando [" + nome + "] com [" + std::to_string(quantidade) + "] detalhes");
}
inline std::string ResultadoTarefa(const std::string& nome) {
  return LinhaInfo("Resultado da tarefa: [" + nome + "]");
}
inline std::string Desfazendo(const std::string& nome) {
  return LinhaInfo("Desfazendo tarefa: [" + nome + "]");
}
// The lines of one task run: its frame around `proprias`.
inline Linhas Rodada(const std::string& nome, int quantidade, Linhas proprias = {},
                     const std::string& resultado = "SucessoInstalacao") {
  proprias.insert(proprias.begin(), Executando(nome, quantidade));
  proprias.push_back(ResultadoTarefa(resultado));
  return proprias;
}
// `partes` one after the other.
inline Linhas Junta(std::initializer_list<Linhas> partes) {
  Linhas linhas;
  for (const auto& parte : partes) linhas.insert(linhas.end(), parte.begin(), parte.end());
  return linhas;
}
// The warning before a read-only file is made writable.
inline std::string SomenteLeitura(const std::string& caminho) {
  return LinhaAviso("Arquivo [" + caminho + "] com atributo somente leitura. Tentando remover");
}

// Runs `passo` and returns the Erro it raises; fails the test when none.
template <typename Passo>
tarvik::Erro ErroDe(Passo&& passo) {
  try {
    passo();
  } catch (const tarvik::Erro& erro) {
    return erro;
  }
  ADD_FAILURE() << "nenhum erro";
  return tarvik::Erro(0, "", "");
}

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_TASKS_TAREFA_TESTE_H_
