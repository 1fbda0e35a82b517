#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/arvore_arquivos.h"
#include "support/pasta_temporaria.h"
#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

class DesfazerTest : public TarefaTeste {
 protected:
  // Only the lines the undo wrote.
  Linhas RegistroDesde(size_t inicio) const {
    const auto linhas = Registro();
    return {linhas.begin() + static_cast<std::ptrdiff_t>(inicio), linhas.end()};
  }
};

TEST_F(DesfazerTest, BackupUndoPutsTheReplacedFileBack) {
  EscreveArquivo(Em("app.dll"), "velho");
  EscreveArquivo(Em("temp/app.dll-2-1"), "novo");
  std::filesystem::create_directory(Em("backup"));
  Tarefa copia = Cria(8, {Em("app.dll"), Em("backup/app.dll-1-1"), Em("backup/app.dll")});
  Tarefa substitui = Cria(9, {Em("temp/app.dll-2-1"), Em("app.dll")});
  ASSERT_EQ(Executa(copia), Resultado::kSucessoInstalacao);
  ASSERT_EQ(Executa(substitui), Resultado::kSucessoInstalacao);
  // Read-only at undo time: cleared, then restored.
  std::filesystem::permissions(Em("app.dll"), std::filesystem::perms::owner_read);
  const size_t antes = Registro().size();
  substitui.Desfazer();
  copia.Desfazer();
  EXPECT_EQ(LeArquivo(Em("app.dll")), "velho");
  EXPECT_FALSE(std::filesystem::exists(Em("backup/app.dll-1-1")));
  EXPECT_EQ(LeArquivo(Em("backup/app.dll")), "velho");
  EXPECT_EQ(RegistroDesde(antes),
            (Linhas{Desfazendo("SubstituirArquivo"), Desfazendo("EfetuarCopiaSeguranca"),
                    SomenteLeitura(Em("app.dll"))}));
}

TEST_F(DesfazerTest, BackupUndoWithoutBackupChangesNothing) {
  Tarefa copia = Cria(8, {Em("novo.dll"), Em("backup/novo.dll-1-1"), Em("backup/novo.dll")});
  copia.Desfazer();
  EXPECT_EQ(ArvoreArquivos(instalacao_.Pasta().Caminho()), (std::map<std::string, std::string>{}));
  const std::string semInstalado = "Arquivo não encontrado [" + Em("novo.dll") + "]";
  const std::string semVersionada = "Caminho não encontrado [" + Em("backup/novo.dll-1-1") + "]";
  EXPECT_EQ(Registro(),
            (Linhas{Desfazendo("EfetuarCopiaSeguranca"),
                    LinhaErro("Erro verificando atributo (Get). Detalhes [" + semInstalado +
                              "] [53], dados [" + Em("novo.dll") + "]"),
                    LinhaErro("Erro verificando atributo (Get). Detalhes [" + semVersionada +
                              "] [76], dados [" + Em("backup/novo.dll-1-1") + "]"),
                    LinhaAviso("Erro ao desfazer EfetuarCopiaSeguranca(FileCopy) . detalhes [" +
                               semVersionada + "] [76], de [" + Em("backup/novo.dll-1-1") +
                               "] para [" + Em("novo.dll") + "]")}));
}

TEST_F(DesfazerTest, FailedRestoreKeepsTheVersionedBackup) {
  // The installed path is now a folder: the restore cannot overwrite it.
  std::filesystem::create_directory(Em("app.dll"));
  EscreveArquivo(Em("backup/app.dll-1-1"), "velho");
  Tarefa copia = Cria(8, {Em("app.dll"), Em("backup/app.dll-1-1"), Em("backup/app.dll")});
  copia.Desfazer();
  EXPECT_EQ(LeArquivo(Em("backup/app.dll-1-1")), "velho");
  const auto linhas = Registro();
  ASSERT_EQ(linhas.size(), 2u);
  EXPECT_TRUE(linhas[1].starts_with(
      LinhaAviso("Erro ao desfazer EfetuarCopiaSeguranca(FileCopy) . detalhes [")));
  EXPECT_TRUE(
      linhas[1].ends_with("], de [" + Em("backup/app.dll-1-1") + "] para [" + Em("app.dll") + "]"));
}

TEST_F(DesfazerTest, DownloadUndoRemovesTheFileEvenWhenReadOnly) {
  EscreveArquivo(Em("temp/a-2-1"), "x");
  std::filesystem::permissions(Em("temp/a-2-1"), std::filesystem::perms::owner_read);
  Tarefa baixa = Cria(0, {"http://s/a", Em("temp/a-2-1")});
  baixa.Desfazer();
  EXPECT_FALSE(std::filesystem::exists(Em("temp/a-2-1")));
  EXPECT_EQ(Registro(), (Linhas{Desfazendo("BaixarArquivo"), SomenteLeitura(Em("temp/a-2-1"))}));
}

}  // namespace
}  // namespace tarvik::teste
