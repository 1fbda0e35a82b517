#include "support/processo.h"
#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

constexpr Resultado kSucesso = Resultado::kSucessoInstalacao;
constexpr Resultado kFalha = Resultado::kFalhaInstalacao;

class ArquivosTest : public TarefaTeste {
 protected:
  // The files in use recorded so far, as "action|source|target; ".
  std::string EmUso() {
    std::string itens;
    for (const auto& item : *contexto_.ListaArquivosEmUso()) {
      itens += std::to_string(item->Acao()) + "|" + item->Origem() + "|" + item->Destino() + "; ";
    }
    return Substitui(itens, instalacao_.Pasta().Texto(), "@");
  }
};

// The plain copy is made even when the versioned one fails. The undo puts
// the installed file back, clearing its read-only attribute, and removes the
// versioned copy; without the copies it only logs.
TEST_F(ArquivosTest, BackupMakesBothCopiesAndItsUndoPutsTheFileBack) {
  Prepara("app.dll=velho; backup/app.dll-1-1=antigo; ");
  SomenteLeitura("backup/app.dll-1-1");
  const Tarefa copia = CriaEm(8, {"app.dll", "backup\\app.dll-1-1", "backup\\app.dll"});
  EXPECT_EQ(Executa(copia), kSucesso);
  EXPECT_EQ(Executa(CriaEm(8, {"falta.dll", "backup/falta.dll-1-1", "backup/falta"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(8, {"app.dll", "nao/app.dll-1-1", "backup/app2.dll"})), kFalha);
  EXPECT_EQ(Arquivos(),
            "app.dll=velho; backup/; backup/app.dll=velho; backup/app.dll-1-1=velho; "
            "backup/app2.dll=velho; ");
  Prepara("app.dll=novo; ");
  SomenteLeitura("app.dll");
  Tarefa(copia).Desfazer();
  CriaEm(8, {"novo.dll", "sem/novo.dll-1-1", "sem/novo.dll"}).Desfazer();
  EXPECT_EQ(Arquivos(), "app.dll=velho; backup/; backup/app.dll=velho; backup/app2.dll=velho; ");
  EXPECT_EQ(Registro(), Nativo(R"(
INFO - Copiando [@/app.dll] para [@/backup\app.dll-1-1]
AVISO - Arquivo [@/backup\app.dll-1-1] com atributo somente leitura. Tentando remover
AVISO - Arquivo não existe. Não será possível restaurar em caso de erro. [@/falta.dll]
INFO - Copiando [@/app.dll] para [@/nao/app.dll-1-1]
ERRO - Erro na cópia. detalhes [Caminho não encontrado [@/nao/app.dll-1-1]] [76]
INFO - Desfazendo tarefa: [EfetuarCopiaSeguranca]
AVISO - Arquivo [@/app.dll] com atributo somente leitura. Tentando remover
INFO - Desfazendo tarefa: [EfetuarCopiaSeguranca]
ERRO - Erro verificando atributo (Get). Detalhes [Arquivo não encontrado [@/novo.dll]] [53], dados [@/novo.dll]
ERRO - Erro verificando atributo (Get). Detalhes [Caminho não encontrado [@/sem/novo.dll-1-1]] [76], dados [@/sem/novo.dll-1-1]
AVISO - Erro ao desfazer EfetuarCopiaSeguranca(FileCopy) . detalhes [Caminho não encontrado [@/sem/novo.dll-1-1]] [76], de [@/sem/novo.dll-1-1] para [@/novo.dll]
)"));
}

// A versioned backup that exists is kept when the installed file already
// holds what the update installs (a run cut short after its copy), since
// copying would leave no copy of the installed version; any other content
// is backed up as usual.
TEST_F(ArquivosTest, BackupKeepsTheVersionedCopyWhenTheFileAlreadyHoldsTheNewContent) {
  // The hash of "novo", in capitals as a descriptor may write it.
  constexpr char kHashNovo[] = "332A35BAAEFC44113F815A691B78B5A28D94BB4074FF817E330138C3BD4CF5E2";
  Prepara("a.dll=novo; b.dll=outro; backup/a.dll-1-1=velho; backup/b.dll-1-2=velho; ");
  for (Tarefa copia : {CriaEm(8, {"a.dll", "backup/a.dll-1-1", "backup/a.dll"}),
                       CriaEm(8, {"b.dll", "backup/b.dll-1-2", "backup/b.dll"})}) {
    copia.AdicionaDetalhe(kHashNovo);
    EXPECT_EQ(Executa(copia), kSucesso);
  }
  EXPECT_EQ(Arquivos(),
            "a.dll=novo; b.dll=outro; backup/; backup/a.dll-1-1=velho; backup/b.dll=outro; "
            "backup/b.dll-1-2=outro; ");
  EXPECT_EQ(Registro(), Nativo(R"(
AVISO - Arquivo [@/a.dll] já tem o conteúdo desta atualização. Mantida a cópia de segurança [@/backup/a.dll-1-1]
INFO - Copiando [@/b.dll] para [@/backup/b.dll-1-2]
)"));
}

// A file in use is recorded for the restart batch, and its failed copy or
// delete asks for the restart; any other failed copy fails.
TEST_F(ArquivosTest, CopyingClearsReadOnlyWarnsOfAnUnexpectedTargetAndRecordsFilesInUse) {
  Prepara("temp/a-2-1=novo a; temp/b-2-2=novo b; a=velho a; b=velho b; velho.dll=x; ");
  SomenteLeitura("a");
  EXPECT_EQ(Executa(CriaEm(9, {"temp/a-2-1", "a"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(10, {"temp/b-2-2", "b"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(9, {"temp/a-2-1", "c"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(9, {"sem/falta", "b"})), kFalha);
  EXPECT_EQ(EmUso(), "");
  {
    ArquivoEmUso a(Em("a"));
    ArquivoEmUso velho(Em("velho.dll"));
    EXPECT_EQ(Executa(CriaEm(9, {"temp/b-2-2", "a"})), Resultado::kArquivosEmUsoReiniciar);
    EXPECT_EQ(Executa(CriaEm(12, {"velho.dll"})), Resultado::kArquivosEmUsoReiniciar);
  }
  EXPECT_EQ(EmUso(), Nativo("0|@/temp/b-2-2|@/a; 1|@/velho.dll|; "));
  EXPECT_EQ(LeArquivo(Em("a")) + LeArquivo(Em("b")) + LeArquivo(Em("c")), "novo anovo bnovo a");
  EXPECT_EQ(Registro(), Nativo(R"(
AVISO - Arquivo [@/a] com atributo somente leitura. Tentando remover
AVISO - Arquivo não deveria existir [@/b]
AVISO - Arquivo deveria existir [@/c]
ERRO - Erro na cópia. detalhes [Caminho não encontrado [@/sem/falta]] [76] origem [@/sem/falta] destino [@/b]
AVISO - Impossível acesso ao arquivo [@/a]
ERRO - Erro na cópia. detalhes [Permissão negada [@/a]] [70] origem [@/temp/b-2-2] destino [@/a]
INFO - Removendo o arquivo [@/velho.dll]
AVISO - Impossível acesso ao arquivo [@/velho.dll]
ERRO - Erro ao remover o arquivo. detalhes [Permissão negada [@/velho.dll]] [70]
)"));
}

// A folder that still holds a file is not removed; a missing file or folder
// is no failure.
TEST_F(ArquivosTest, RemovingFilesAndFolders) {
  Prepara("ro.dll=x; cheia/x=x; vazia/; ");
  SomenteLeitura("ro.dll");
  EXPECT_EQ(Executa(CriaEm(12, {"ro.dll"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(12, {"falta.dll"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(13, {"cheia"})), kFalha);
  EXPECT_EQ(Executa(CriaEm(13, {"vazia"})), kSucesso);
  EXPECT_EQ(Executa(CriaEm(13, {"falta"})), kSucesso);
  EXPECT_EQ(Arquivos() + EmUso(), "cheia/; cheia/x=x; ");
  EXPECT_EQ(Registro(), Nativo(R"(
INFO - Removendo o arquivo [@/ro.dll]
AVISO - Arquivo [@/ro.dll] com atributo somente leitura. Tentando remover
INFO - Removendo o arquivo [@/falta.dll]
AVISO - Arquivo deveria existir [@/falta.dll]
ERRO - Erro ao remover a pasta. Detalhes [Erro de acesso a caminho/arquivo [@/cheia]] [75]
INFO - Pasta deveria existir [@/falta]
)"));
}

// Blanks around a detail and trailing backslashes are dropped; under a file,
// the file's name with the backslash is the first level to create.
TEST_F(ArquivosTest, CreatingFoldersMakesEveryMissingLevel) {
  const std::string base = instalacao_.Pasta().Texto();
  Prepara("arquivo=x; ");
  EXPECT_EQ(Executa(Cria(14, {" " + base + "\\A\\B\\\\ ", base})), kSucesso);
  EXPECT_EQ(ErroDe([&] { Executa(CriaEm(14, {"arquivo\\sub"})); }),
            "75|CreateFolder|Erro de acesso a caminho/arquivo [" + Em("arquivo/") + "]");
  EXPECT_EQ(Arquivos(), "A/; A/B/; arquivo=x; ");
  EXPECT_EQ(Registro(), Nativo(R"(
INFO - Criando pasta: [@\A\]
INFO - Criando pasta: [@\A\B\]
INFO - Criando pasta: [@/arquivo\]
)"));
}

}  // namespace
}  // namespace tarvik::teste
