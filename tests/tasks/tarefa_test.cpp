#include "tasks/tarefa.h"

#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

using TarefaTest = TarefaTeste;

// A code without a name fails every operation before it logs anything; 5
// has a name but no work, so it fails after its first line.
TEST_F(TarefaTest, CodesWithoutTaskRaiseTwo) {
  for (const int32_t codigo : {1, 11, -1, 17}) {
    Tarefa tarefa = Cria(codigo, {"a"});
    const std::string desconhecida = "|Tarefa desconhecida: " + std::to_string(codigo);
    for (const std::string& erro :
         {ErroDe([&] { tarefa.NomeTarefa(); }), ErroDe([&] { tarefa.Registra(); }),
          ErroDe([&] { Executa(tarefa); }), ErroDe([&] { tarefa.Desfazer(); })}) {
      EXPECT_EQ(erro, "2|Tarefa:NomeTarefa" + desconhecida);
    }
    EXPECT_EQ(ErroDe([&] { tarefa.MensagemTarefa(); }), "2|Tarefa:MensagemTarefa" + desconhecida);
  }
  Tarefa semTrabalho = Cria(5, {"x"});
  EXPECT_EQ(ErroDe([&] { Executa(semTrabalho); }), "2|Tarefa:Executa|Tarefa desconhecida: 5");
  semTrabalho.Desfazer();
  EXPECT_EQ(RegistroCompleto(),
            "\nINFO - Executando [VerificarVersaoArquivoSubstituido] com [1] "
            "detalhes\nINFO - Desfazendo tarefa: [VerificarVersaoArquivoSubstituido]\n");
}

TEST_F(TarefaTest, MissingDetailsRaiseParameterOrPositionErrors) {
  for (const int32_t codigo : {3, 4, 6, 14}) {
    EXPECT_EQ(ErroDe([&] { Executa(Cria(codigo, {})); }),
              "3|Tarefa:Executa|Número insuficiente de parâmetros");
  }
  for (const int32_t codigo : {0, 7, 8, 9, 10, 12, 13, 16}) {
    EXPECT_EQ(ErroDe([&] { Executa(Cria(codigo, {})); }),
              "9|Colecao:Item|Subscrito fora do intervalo")
        << codigo;
  }
}

// The two lines around a run, which the other tests leave out.
TEST_F(TarefaTest, MessageTaskLogsEachDetail) {
  EXPECT_EQ(Executa(Cria(15, {"primeira", "segunda"})), Resultado::kSucessoInstalacao);
  EXPECT_EQ(RegistroCompleto(),
            "\nINFO - Executando [ExibirMensagem] com [2] detalhes\nINFO - primeira\nINFO - segunda"
            "\nINFO - Resultado da tarefa: [SucessoInstalacao]\n");
}

}  // namespace
}  // namespace tarvik::teste
