#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/pasta_temporaria.h"
#include "support/processo.h"
#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

class ArquivosTest : public TarefaTeste {
 protected:
  Linhas Itens() {
    Linhas itens;
    for (const auto& item : *contexto_.ListaArquivosEmUso()) {
      itens.push_back(std::to_string(item->Acao()) + "|" + item->Origem() + "|" + item->Destino());
    }
    return itens;
  }
};

TEST_F(ArquivosTest, BackupMakesBothCopies) {
  EscreveArquivo(Em("app.dll"), "velho");
  EscreveArquivo(Em("backup/app.dll-1.0-1"), "antigo");
  std::filesystem::permissions(Em("backup/app.dll-1.0-1"), std::filesystem::perms::owner_read);
  Tarefa tarefa = Cria(8, {Em("app.dll"), Em("backup\\app.dll-1.0-1"), Em("backup\\app.dll")});
  EXPECT_EQ(Executa(tarefa), Resultado::kSucessoInstalacao);
  EXPECT_EQ(LeArquivo(Em("backup/app.dll-1.0-1")), "velho");
  EXPECT_EQ(LeArquivo(Em("backup/app.dll")), "velho");
  EXPECT_EQ(Registro(), Rodada("EfetuarCopiaSeguranca", 3,
                               {LinhaInfo("Copiando [" + Em("app.dll") + "] para [" +
                                          Em("backup\\app.dll-1.0-1") + "]"),
                                SomenteLeitura(Em("backup\\app.dll-1.0-1"))}));
}

TEST_F(ArquivosTest, BackupOfMissingFileOnlyWarnsAndFailedCopyStillMakesThePlainOne) {
  EscreveArquivo(Em("app.dll"), "velho");
  std::filesystem::create_directory(Em("backup"));
  Tarefa ausente = Cria(8, {Em("falta.dll"), Em("backup/falta.dll-1-1"), Em("backup/falta.dll")});
  Tarefa falha = Cria(8, {Em("app.dll"), Em("nao/app.dll-1-1"), Em("backup/app.dll")});
  EXPECT_EQ(Executa(ausente), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Executa(falha), Resultado::kFalhaInstalacao);
  EXPECT_EQ(LeArquivo(Em("backup/app.dll")), "velho");
  EXPECT_FALSE(std::filesystem::exists(Em("backup/falta.dll")));
  EXPECT_EQ(Registro(),
            Junta({Rodada("EfetuarCopiaSeguranca", 3,
                          {LinhaAviso("Arquivo não existe. Não será possível restaurar em caso de "
                                      "erro. [" +
                                      Em("falta.dll") + "]")}),
                   Rodada("EfetuarCopiaSeguranca", 3,
                          {LinhaInfo("Copiando [" + Em("app.dll") + "] para [" +
                                     Em("nao/app.dll-1-1") + "]"),
                           LinhaErro("Erro na cópia. detalhes [Caminho não encontrado [" +
                                     Em("nao/app.dll-1-1") + "]] [76]")},
                          "FalhaInstalacao")}));
}

TEST_F(ArquivosTest, ReplacingClearsReadOnlyAndNewFileWarnsWhenPresent) {
  EscreveArquivo(Em("temp/a-2-1"), "novo a");
  EscreveArquivo(Em("temp/b-2-2"), "novo b");
  EscreveArquivo(Em("a"), "velho a");
  EscreveArquivo(Em("b"), "velho b");
  std::filesystem::permissions(Em("a"), std::filesystem::perms::owner_read);
  Tarefa substitui = Cria(9, {Em("temp/a-2-1"), Em("a")});
  Tarefa copia = Cria(10, {Em("temp/b-2-2"), Em("b")});
  Tarefa semDestino = Cria(9, {Em("temp/a-2-1"), Em("c")});
  EXPECT_EQ(Executa(substitui), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Executa(copia), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Executa(semDestino), Resultado::kSucessoInstalacao);
  EXPECT_EQ(LeArquivo(Em("a")) + LeArquivo(Em("b")) + LeArquivo(Em("c")), "novo anovo bnovo a");
  EXPECT_EQ(Itens(), Linhas{});
  EXPECT_EQ(Registro(),
            Junta({Rodada("SubstituirArquivo", 2, {SomenteLeitura(Em("a"))}),
                   Rodada("CopiarNovoArquivo", 2,
                          {LinhaAviso("Arquivo não deveria existir [" + Em("b") + "]")}),
                   Rodada("SubstituirArquivo", 2,
                          {LinhaAviso("Arquivo deveria existir [" + Em("c") + "]")})}));
}

TEST_F(ArquivosTest, FileInUseIsRecordedAndFailedCopyAsksForRestart) {
  EscreveArquivo(Em("temp/app.exe-2-1"), "novo");
  EscreveArquivo(Em("app.exe"), "velho");
  EscreveArquivo(Em("velho.dll"), "x");
  ArquivoEmUso app(Em("app.exe"));
  ArquivoEmUso velho(Em("velho.dll"));
  Tarefa substitui = Cria(9, {Em("temp/app.exe-2-1"), Em("app.exe")});
  Tarefa remove = Cria(12, {Em("velho.dll")});
  EXPECT_EQ(Executa(substitui), Resultado::kArquivosEmUsoReiniciar);
  EXPECT_EQ(Executa(remove), Resultado::kArquivosEmUsoReiniciar);
  EXPECT_EQ(LeArquivo(Em("app.exe")), "velho");
  EXPECT_EQ(Itens(), (Linhas{"0|" + Em("temp/app.exe-2-1") + "|" + Em("app.exe"),
                             "1|" + Em("velho.dll") + "|"}));
  const auto semAcesso = [this](const std::string& nome) {
    return LinhaAviso("Impossível acesso ao arquivo [" + Em(nome) + "]");
  };
  EXPECT_EQ(Registro(),
            Junta({Rodada("SubstituirArquivo", 2,
                          {semAcesso("app.exe"),
                           LinhaErro("Erro na cópia. detalhes [Permissão negada [" + Em("app.exe") +
                                     "]] [70] origem [" + Em("temp/app.exe-2-1") + "] destino [" +
                                     Em("app.exe") + "]")},
                          "ArquivosEmUsoReiniciar"),
                   Rodada("RemoverArquivo", 1,
                          {LinhaInfo("Removendo o arquivo [" + Em("velho.dll") + "]"),
                           semAcesso("velho.dll"),
                           LinhaErro("Erro ao remover o arquivo. detalhes [Permissão negada [" +
                                     Em("velho.dll") + "]] [70]")},
                          "ArquivosEmUsoReiniciar")}));
}

TEST_F(ArquivosTest, CopyFailureOfAFileNotInUseFails) {
  EscreveArquivo(Em("app.exe"), "velho");
  Tarefa tarefa = Cria(9, {Em("temp/falta"), Em("app.exe")});
  EXPECT_EQ(Executa(tarefa), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Registro()[1],
            LinhaErro("Erro na cópia. detalhes [Caminho não encontrado [" + Em("temp/falta") +
                      "]] [76] origem [" + Em("temp/falta") + "] destino [" + Em("app.exe") + "]"));
}

TEST_F(ArquivosTest, RemovingFiles) {
  EscreveArquivo(Em("ro.dll"), "x");
  std::filesystem::permissions(Em("ro.dll"), std::filesystem::perms::owner_read);
  Tarefa somenteLeitura = Cria(12, {Em("ro.dll")});
  Tarefa ausente = Cria(12, {Em("falta.dll")});
  EXPECT_EQ(Executa(somenteLeitura), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Executa(ausente), Resultado::kSucessoInstalacao);
  EXPECT_FALSE(std::filesystem::exists(Em("ro.dll")));
  EXPECT_EQ(Itens(), Linhas{});
  EXPECT_EQ(Registro(),
            Junta({Rodada("RemoverArquivo", 1,
                          {LinhaInfo("Removendo o arquivo [" + Em("ro.dll") + "]"),
                           SomenteLeitura(Em("ro.dll"))}),
                   Rodada("RemoverArquivo", 1,
                          {LinhaInfo("Removendo o arquivo [" + Em("falta.dll") + "]"),
                           LinhaAviso("Arquivo deveria existir [" + Em("falta.dll") + "]")})}));
}

TEST_F(ArquivosTest, RemovingFolders) {
  EscreveArquivo(Em("cheia/x"), "x");
  std::filesystem::create_directory(Em("vazia"));
  Tarefa cheia = Cria(13, {Em("cheia")});
  Tarefa vazia = Cria(13, {Em("vazia")});
  Tarefa ausente = Cria(13, {Em("falta")});
  EXPECT_EQ(Executa(cheia), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Executa(vazia), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Executa(ausente), Resultado::kSucessoInstalacao);
  EXPECT_EQ(LeArquivo(Em("cheia/x")), "x");
  EXPECT_FALSE(std::filesystem::exists(Em("vazia")));
  EXPECT_EQ(Registro(),
            Junta({Rodada("RemoverPasta", 1,
                          {LinhaErro("Erro ao remover a pasta. Detalhes [Erro de acesso a "
                                     "caminho/arquivo [" +
                                     Em("cheia") + "]] [75]")},
                          "FalhaInstalacao"),
                   Rodada("RemoverPasta", 1, {}),
                   Rodada("RemoverPasta", 1,
                          {LinhaInfo("Pasta deveria existir [" + Em("falta") + "]")})}));
}

TEST_F(ArquivosTest, CreatingFoldersMakesEveryMissingLevel) {
  const std::string base = instalacao_.Pasta().Texto();
  Tarefa tarefa = Cria(14, {" " + base + "\\A\\B\\\\ ", base});
  EXPECT_EQ(Executa(tarefa), Resultado::kSucessoInstalacao);
  EXPECT_TRUE(std::filesystem::is_directory(Em("A/B")));
  EXPECT_EQ(Registro(), Rodada("CriarPasta", 2,
                               {LinhaInfo("Criando pasta: [" + base + "\\A\\]"),
                                LinhaInfo("Criando pasta: [" + base + "\\A\\B\\]")}));
}

TEST_F(ArquivosTest, CreatingAFolderUnderAFileRaises) {
  EscreveArquivo(Em("arquivo"), "x");
  Tarefa tarefa = Cria(14, {Em("arquivo") + "\\sub"});
  // The file's name, with the backslash, is the first level to create.
  const auto erro = ErroDe([&] { Executa(tarefa); });
  EXPECT_EQ(erro.Numero(), 75);
  EXPECT_EQ(erro.Descricao(), "Erro de acesso a caminho/arquivo [" + Em("arquivo") + "/]");
  EXPECT_EQ(Registro().back(), LinhaInfo("Criando pasta: [" + Em("arquivo") + "\\]"));
}

}  // namespace
}  // namespace tarvik::teste
