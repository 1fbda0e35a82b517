#include "tasks/tarefa.h"

#include <gtest/gtest.h>

#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

using TarefaTest = TarefaTeste;

TEST_F(TarefaTest, NewTaskIsADownloadWithItsProgressText) {
  const Tarefa tarefa;
  EXPECT_EQ(tarefa.NomeTarefa(), "BaixarArquivo");
  EXPECT_EQ(tarefa.MensagemTarefa(), "Recebendo arquivos do servidor");
  EXPECT_EQ(Cria(8, {}).MensagemTarefa(), "Efetuando cópia de segurança");
}

TEST_F(TarefaTest, CodesWithoutTaskFailEveryOperationBeforeLogging) {
  for (const int32_t codigo : {1, 11, -1, 17}) {
    Tarefa tarefa = Cria(codigo, {"a"});
    const std::string descricao = "Tarefa desconhecida: " + std::to_string(codigo);
    for (const auto& erro :
         {ErroDe([&] { tarefa.NomeTarefa(); }), ErroDe([&] { tarefa.Registra(); }),
          ErroDe([&] { Executa(tarefa); }), ErroDe([&] { tarefa.Desfazer(); })}) {
      EXPECT_EQ(erro.Numero(), 2);
      EXPECT_EQ(erro.Origem(), "Tarefa:NomeTarefa");
      EXPECT_EQ(erro.Descricao(), descricao);
    }
    const auto erro = ErroDe([&] { tarefa.MensagemTarefa(); });
    EXPECT_EQ(erro.Origem(), "Tarefa:MensagemTarefa");
    EXPECT_EQ(erro.Descricao(), descricao);
  }
  EXPECT_EQ(Registro(), Linhas{});
}

TEST_F(TarefaTest, RegistraListsNameAndBracketedDetails) {
  Cria(14, {"C:\\a", "C:\\b c"}).Registra();
  Cria(2, {}).Registra();
  EXPECT_EQ(Registro(), (Linhas{LinhaInfo("CriarPasta: [C:\\a] [C:\\b c] "),
                                LinhaInfo("AguardarFimArquivosBaixar: ")}));
}

TEST_F(TarefaTest, TaskWithNameButNoWorkFailsAfterItsFirstLine) {
  Tarefa tarefa = Cria(5, {"x"});
  const auto erro = ErroDe([&] { Executa(tarefa); });
  EXPECT_EQ(erro.Numero(), 2);
  EXPECT_EQ(erro.Origem(), "Tarefa:Executa");
  EXPECT_EQ(erro.Descricao(), "Tarefa desconhecida: 5");
  tarefa.Desfazer();
  EXPECT_EQ(Registro(), (Linhas{Executando("VerificarVersaoArquivoSubstituido", 1),
                                Desfazendo("VerificarVersaoArquivoSubstituido")}));
}

TEST_F(TarefaTest, MissingDetailsRaiseParameterOrPositionErrors) {
  for (const int32_t codigo : {3, 4, 6, 14}) {
    Tarefa tarefa = Cria(codigo, {});
    const auto erro = ErroDe([&] { Executa(tarefa); });
    EXPECT_EQ(erro.Numero(), 3);
    EXPECT_EQ(erro.Origem(), "Tarefa:Executa");
    EXPECT_EQ(erro.Descricao(), "Número insuficiente de parâmetros");
  }
  for (const int32_t codigo : {0, 7, 8, 9, 10, 12, 13, 16}) {
    Tarefa tarefa = Cria(codigo, {});
    EXPECT_EQ(ErroDe([&] { Executa(tarefa); }).Numero(), 9) << codigo;
  }
  EXPECT_EQ(Registro().front(), Executando("VerificarExistenciaArquivo", 0));
}

TEST_F(TarefaTest, MessageAndWaitTasksSucceedAndUndoOnlyLogs) {
  Tarefa mensagem = Cria(15, {"primeira", "segunda"});
  Tarefa espera = Cria(2, {});
  EXPECT_EQ(Executa(mensagem), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Executa(espera), Resultado::kSucessoInstalacao);
  espera.Desfazer();
  EXPECT_EQ(Registro(),
            Junta({Rodada("ExibirMensagem", 2, {LinhaInfo("primeira"), LinhaInfo("segunda")}),
                   Rodada("AguardarFimArquivosBaixar", 0, {}),
                   {Desfazendo("AguardarFimArquivosBaixar")}}));
}

}  // namespace
}  // namespace tarvik::teste
