#include <gtest/gtest.h>

#include <filesystem>

#include "support/pasta_temporaria.h"
#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

using DesfazerTest = TarefaTeste;

TEST_F(DesfazerTest, BackupUndoRestoresTheInstalledFileOrLogsWhyNot) {
  EscreveArquivo(Em("app.dll"), "velho");
  std::filesystem::create_directory(Em("backup"));
  const Tarefa copia = Cria(8, {Em("app.dll"), Em("backup/app.dll-1-1"), Em("backup/app.dll")});
  ASSERT_EQ(Executa(copia), Resultado::kSucessoInstalacao);
  EscreveArquivo(Em("app.dll"), "novo");
  // Read-only at undo time: cleared, then restored.
  SomenteLeitura("app.dll");
  LimpaRegistro();
  Tarefa(copia).Desfazer();
  Cria(8, {Em("novo.dll"), Em("sem/novo.dll-1-1"), Em("sem/novo.dll")}).Desfazer();
  EXPECT_EQ(Arquivos(), "app.dll=velho; backup/; backup/app.dll=velho; ");
  EXPECT_EQ(Registro(), R"(
INFO - Desfazendo tarefa: [EfetuarCopiaSeguranca]
AVISO - Arquivo [@/app.dll] com atributo somente leitura. Tentando remover
INFO - Desfazendo tarefa: [EfetuarCopiaSeguranca]
ERRO - Erro verificando atributo (Get). Detalhes [Arquivo não encontrado [@/novo.dll]] [53], dados [@/novo.dll]
ERRO - Erro verificando atributo (Get). Detalhes [Caminho não encontrado [@/sem/novo.dll-1-1]] [76], dados [@/sem/novo.dll-1-1]
AVISO - Erro ao desfazer EfetuarCopiaSeguranca(FileCopy) . detalhes [Caminho não encontrado [@/sem/novo.dll-1-1]] [76], de [@/sem/novo.dll-1-1] para [@/novo.dll]
)");
}

TEST_F(DesfazerTest, DownloadUndoRemovesTheFileEvenWhenReadOnlyOrWarnsThatThereIsNone) {
  EscreveArquivo(Em("temp/a-2-1"), "x");
  SomenteLeitura("temp/a-2-1");
  Cria(0, {"http://s/a", Em("temp/a-2-1")}).Desfazer();
  Cria(0, {"http://s/b", Em("temp/b-2-2")}).Desfazer();
  EXPECT_EQ(Arquivos(), "temp/; ");
  EXPECT_EQ(Registro(), R"(
INFO - Desfazendo tarefa: [BaixarArquivo]
AVISO - Arquivo [@/temp/a-2-1] com atributo somente leitura. Tentando remover
INFO - Desfazendo tarefa: [BaixarArquivo]
AVISO - Erro ao desfazer BaixarArquivo. Detalhes [Arquivo não encontrado [@/temp/b-2-2]] [53], dados [@/temp/b-2-2]
)");
}

}  // namespace
}  // namespace tarvik::teste
