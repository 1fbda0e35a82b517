#include <vector>

#include "support/processo.h"
#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

constexpr Resultado kSucesso = Resultado::kSucessoInstalacao;
constexpr Resultado kFalha = Resultado::kFalhaInstalacao;

class ArquivosTest : public TarefaTeste {
 protected:
  // The files in use recorded so far, as "action|source|target".
  std::vector<std::string> EmUso() {
    std::vector<std::string> itens;
    for (const auto& item : *contexto_.ListaArquivosEmUso()) {
      itens.push_back(std::to_string(item->Acao()) + "|" + item->Origem() + "|" + item->Destino());
    }
    return itens;
  }
};

// The plain copy is made even when the versioned one fails.
TEST_F(ArquivosTest, BackupMakesBothCopiesAndOnlyWarnsOfAMissingFile) {
  Prepara("app.dll=velho; backup/app.dll-1-1=antigo; ");
  SomenteLeitura("backup/app.dll-1-1");
  EXPECT_EQ(Executa(CriaEm(8, {"app.dll", "backup\\app.dll-1-1", "backup\\app.dll"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(8, {"falta.dll", "backup/falta.dll-1-1", "backup/falta"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(8, {"app.dll", "nao/app.dll-1-1", "backup/app2.dll"})), kFalha);
  EXPECT_EQ(Arquivos(),
            "app.dll=velho; backup/; backup/app.dll=velho; backup/app.dll-1-1=velho; "
            "backup/app2.dll=velho; ");
  EXPECT_EQ(Registro(), R"(
INFO - Copiando [@/app.dll] para [@/backup\app.dll-1-1]
AVISO - Arquivo [@/backup\app.dll-1-1] com atributo somente leitura. Tentando remover
AVISO - Arquivo não existe. Não será possível restaurar em caso de erro. [@/falta.dll]
INFO - Copiando [@/app.dll] para [@/nao/app.dll-1-1]
ERRO - Erro na cópia. detalhes [Caminho não encontrado [@/nao/app.dll-1-1]] [76]
)");
}

TEST_F(ArquivosTest, CopyingClearsReadOnlyAndWarnsOfAnUnexpectedTarget) {
  Prepara("temp/a-2-1=novo a; temp/b-2-2=novo b; a=velho a; b=velho b; ");
  SomenteLeitura("a");
  EXPECT_EQ(Executa(CriaEm(9, {"temp/a-2-1", "a"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(10, {"temp/b-2-2", "b"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(9, {"temp/a-2-1", "c"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(9, {"sem/falta", "b"})), kFalha);
  EXPECT_EQ(LeArquivo(Em("a")) + LeArquivo(Em("b")) + LeArquivo(Em("c")), "novo anovo bnovo a");
  EXPECT_TRUE(EmUso().empty());
  EXPECT_EQ(Registro(), R"(
AVISO - Arquivo [@/a] com atributo somente leitura. Tentando remover
AVISO - Arquivo não deveria existir [@/b]
AVISO - Arquivo deveria existir [@/c]
ERRO - Erro na cópia. detalhes [Caminho não encontrado [@/sem/falta]] [76] origem [@/sem/falta] destino [@/b]
)");
}

TEST_F(ArquivosTest, FileInUseIsRecordedAndFailedCopyAsksForRestart) {
  Prepara("temp/app.exe-2-1=novo; app.exe=velho; velho.dll=x; ");
  ArquivoEmUso app(Em("app.exe"));
  ArquivoEmUso velho(Em("velho.dll"));
  EXPECT_EQ(Executa(CriaEm(9, {"temp/app.exe-2-1", "app.exe"})),
            Resultado::kArquivosEmUsoReiniciar);
  EXPECT_EQ(Executa(CriaEm(12, {"velho.dll"})), Resultado::kArquivosEmUsoReiniciar);
  EXPECT_EQ(LeArquivo(Em("app.exe")), "velho");
  EXPECT_EQ(EmUso(), (std::vector<std::string>{"0|" + Em("temp/app.exe-2-1") + "|" + Em("app.exe"),
                                               "1|" + Em("velho.dll") + "|"}));
  EXPECT_EQ(Registro(), R"(
AVISO - Impossível acesso ao arquivo [@/app.exe]
ERRO - Erro na cópia. detalhes [Permissão negada [@/app.exe]] [70] origem [@/temp/app.exe-2-1] destino [@/app.exe]
INFO - Removendo o arquivo [@/velho.dll]
AVISO - Impossível acesso ao arquivo [@/velho.dll]
ERRO - Erro ao remover o arquivo. detalhes [Permissão negada [@/velho.dll]] [70]
)");
}

// A folder that still holds a file is not removed; a missing file or folder
// is no failure.
TEST_F(ArquivosTest, RemovingFilesAndFolders) {
  EscreveArquivo(Em("ro.dll"), "x");
  SomenteLeitura("ro.dll");
  Prepara("cheia/x=x; vazia/; ");
  EXPECT_EQ(Executa(CriaEm(12, {"ro.dll"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(12, {"falta.dll"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(13, {"cheia"})), kFalha);
  EXPECT_EQ(Executa(CriaEm(13, {"vazia"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(13, {"falta"})), kSucesso);
  EXPECT_EQ(Arquivos(), "cheia/; cheia/x=x; ");
  EXPECT_TRUE(EmUso().empty());
  EXPECT_EQ(Registro(), R"(
INFO - Removendo o arquivo [@/ro.dll]
AVISO - Arquivo [@/ro.dll] com atributo somente leitura. Tentando remover
INFO - Removendo o arquivo [@/falta.dll]
AVISO - Arquivo deveria existir [@/falta.dll]
ERRO - Erro ao remover a pasta. Detalhes [Erro de acesso a caminho/arquivo [@/cheia]] [75]
INFO - Pasta deveria existir [@/falta]
)");
}

// Blanks around a detail and trailing backslashes are dropped; under a file,
// the file's name with the backslash is the first level to create.
TEST_F(ArquivosTest, CreatingFoldersMakesEveryMissingLevel) {
  const std::string base = instalacao_.Pasta().Texto();
  EscreveArquivo(Em("arquivo"), "x");
  EXPECT_EQ(Executa(Cria(14, {" " + base + "\\A\\B\\\\ ", base})), kSucesso);
  EXPECT_EQ(ErroDe([&] { Executa(Cria(14, {Em("arquivo") + "\\sub"})); }),
            "75|CreateFolder|Erro de acesso a caminho/arquivo [" + Em("arquivo") + "/]");
  EXPECT_TRUE(std::filesystem::is_directory(Em("A/B")));
  EXPECT_EQ(Registro(), R"(
INFO - Criando pasta: [@\A\]
INFO - Criando pasta: [@\A\B\]
INFO - Criando pasta: [@/arquivo\]
)");
}

TEST_F(ArquivosTest, BackupUndoRestoresTheInstalledFileOrLogsWhyNot) {
  Prepara("app.dll=velho; backup/; ");
  const Tarefa copia = CriaEm(8, {"app.dll", "backup/app.dll-1-1", "backup/app.dll"});
  ASSERT_EQ(Executa(copia), Resultado::kSucessoInstalacao);
  EscreveArquivo(Em("app.dll"), "novo");
  // Read-only at undo time: cleared, then restored.
  SomenteLeitura("app.dll");
  LimpaRegistro();
  Tarefa(copia).Desfazer();
  CriaEm(8, {"novo.dll", "sem/novo.dll-1-1", "sem/novo.dll"}).Desfazer();
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

}  // namespace
}  // namespace tarvik::teste
