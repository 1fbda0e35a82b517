#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/arvore_arquivos.h"
#include "support/pasta_temporaria.h"
#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

using DesfazerTest = TarefaTeste;
using Arvore = std::map<std::string, std::string>;

TEST_F(DesfazerTest, BackupUndoRestoresTheInstalledFileOrLogsWhyNot) {
  EscreveArquivo(Em("app.dll"), "velho");
  std::filesystem::create_directory(Em("backup"));
  Tarefa copia = Cria(8, {Em("app.dll"), Em("backup/app.dll-1-1"), Em("backup/app.dll")});
  Tarefa semCopia = Cria(8, {Em("novo.dll"), Em("sem/novo.dll-1-1"), Em("sem/novo.dll")});
  ASSERT_EQ(Executa(copia), Resultado::kSucessoInstalacao);
  EscreveArquivo(Em("app.dll"), "novo");
  // Read-only at undo time: cleared, then restored.
  std::filesystem::permissions(Em("app.dll"), std::filesystem::perms::owner_read);
  std::filesystem::remove(Em("registro.log"));
  copia.Desfazer();
  semCopia.Desfazer();
  EXPECT_EQ(ArvoreArquivos(instalacao_.Pasta().Caminho()),
            (Arvore{{"app.dll", "velho"}, {"backup", kPasta}, {"backup/app.dll", "velho"}}));
  const std::string semInstalado = "Arquivo não encontrado [" + Em("novo.dll") + "]";
  const std::string semVersionada = "Caminho não encontrado [" + Em("sem/novo.dll-1-1") + "]";
  EXPECT_EQ(Registro(),
            (Linhas{Desfazendo("EfetuarCopiaSeguranca"), SomenteLeitura(Em("app.dll")),
                    Desfazendo("EfetuarCopiaSeguranca"),
                    LinhaErro("Erro verificando atributo (Get). Detalhes [" + semInstalado +
                              "] [53], dados [" + Em("novo.dll") + "]"),
                    LinhaErro("Erro verificando atributo (Get). Detalhes [" + semVersionada +
                              "] [76], dados [" + Em("sem/novo.dll-1-1") + "]"),
                    LinhaAviso("Erro ao desfazer EfetuarCopiaSeguranca(FileCopy) . detalhes [" +
                               semVersionada + "] [76], de [" + Em("sem/novo.dll-1-1") +
                               "] para [" + Em("novo.dll") + "]")}));
}

TEST_F(DesfazerTest, DownloadUndoRemovesTheFileEvenWhenReadOnlyOrWarnsThatThereIsNone) {
  EscreveArquivo(Em("temp/a-2-1"), "x");
  std::filesystem::permissions(Em("temp/a-2-1"), std::filesystem::perms::owner_read);
  Cria(0, {"http://s/a", Em("temp/a-2-1")}).Desfazer();
  Cria(0, {"http://s/b", Em("temp/b-2-2")}).Desfazer();
  EXPECT_EQ(ArvoreArquivos(instalacao_.Pasta().Caminho()), (Arvore{{"temp", kPasta}}));
  EXPECT_EQ(Registro(),
            (Linhas{Desfazendo("BaixarArquivo"), SomenteLeitura(Em("temp/a-2-1")),
                    Desfazendo("BaixarArquivo"),
                    LinhaAviso("Erro ao desfazer BaixarArquivo. Detalhes [Arquivo não "
                               "encontrado [" +
                               Em("temp/b-2-2") + "]] [53], dados [" + Em("temp/b-2-2") + "]")}));
}

}  // namespace
}  // namespace tarvik::teste
