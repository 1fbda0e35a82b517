#include "script/diario_atualizacao.h"

#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

using namespace codigo_tarefa;

// The script of an update from 1.0 to 2.0 that replaces app.exe, creates
// plugins\novo.dll and removes velho.dll and the folder antiga.
class DiarioTest : public TarefaTeste {
 protected:
  DiarioTest() {
    Prepara("app.exe=app 1.0; velho.dll=velho; antiga/; backup/; temp/; ");
    for (const Tarefa& tarefa : {
             Cria(kBaixarArquivo, {"http://servidor/app.exe", Em("temp/app.exe-2.0-1")}),
             CriaEm(kEfetuarCopiaSeguranca, {"app.exe", "backup/app.exe-1.0-1", "backup/app.exe"}),
             CriaEm(kEfetuarCopiaSeguranca,
                    {"plugins/novo.dll", "backup/novo.dll-1.0-2", "backup/novo.dll"}),
             CriaEm(kEfetuarCopiaSeguranca,
                    {"velho.dll", "backup/velho.dll-1.0-3", "backup/velho.dll"}),
             CriaEm(kSubstituirArquivo, {"temp/app.exe-2.0-1", "app.exe"}),
             CriaEm(kCriarPasta, {"plugins"}),
             CriaEm(kCopiarNovoArquivo, {"temp/novo.dll-2.0-2", "plugins/novo.dll"}),
             CriaEm(kRemoverArquivo, {"velho.dll"}),
             CriaEm(kRemoverPasta, {"antiga"}),
         }) {
      tarefas_.Adiciona(std::make_shared<Tarefa>(tarefa));
    }
    IniciaDiario(tarefas_, 4);
    // The downloads and the backups ran.
    Prepara(
        "temp/app.exe-2.0-1=app 2.0; backup/app.exe-1.0-1=app 1.0; backup/app.exe=app 1.0; "
        "backup/velho.dll-1.0-3=velho; backup/velho.dll=velho; ");
  }

  Colecao<std::shared_ptr<Tarefa>> tarefas_;
};

// Cut short in the middle of the replace phase, with a copy half-written:
// the next run puts back the files of 1.0, removes what 2.0 brought and its
// working files, and then the journal.
TEST_F(DiarioTest, CutShortWhileReplacingTheNextRunPutsBackTheInstalledVersion) {
  MarcaAcoesNoDiario();
  Prepara("app.exe=app 2.0; plugins/novo.dll=novo; velho.dll.tarvik-Ab12Cd=meio; ");
  std::filesystem::remove(Em("velho.dll"));
  std::filesystem::remove(Em("antiga"));
  ReparaAtualizacaoInterrompida();
  EXPECT_EQ(Arquivos(),
            "antiga/; app.exe=app 1.0; backup/; backup/app.exe=app 1.0; backup/velho.dll=velho; "
            "temp/; velho.dll=velho; ");
  EXPECT_EQ(Registro(), Nativo(R"(
AVISO - Encontrado o diário de uma atualização interrompida. Desfazendo as alterações
INFO - Removido o arquivo de trabalho [@/velho.dll.tarvik-Ab12Cd]
INFO - Removido o arquivo recebido [@/temp/app.exe-2.0-1]
INFO - Recriada a pasta [@/antiga]
INFO - Restaurado o arquivo [@/app.exe]
INFO - Removido o arquivo criado [@/plugins/novo.dll]
INFO - Restaurado o arquivo [@/velho.dll]
AVISO - Atualização interrompida desfeita
)"));
}

// Cut short before the installation changed: only the working files go,
// whatever the backups hold; a run without a journal does nothing.
TEST_F(DiarioTest, CutShortBeforeTheActionsOnlyTheWorkingFilesGo) {
  Prepara("app.exe=app 1.0 alterado; temp/app.exe-2.0-1.parcial-Xy34Zw=meio; ");
  ReparaAtualizacaoInterrompida();
  ReparaAtualizacaoInterrompida();
  EXPECT_EQ(Arquivos(),
            "antiga/; app.exe=app 1.0 alterado; backup/; backup/app.exe=app 1.0; "
            "backup/app.exe-1.0-1=app 1.0; backup/velho.dll=velho; "
            "backup/velho.dll-1.0-3=velho; temp/; velho.dll=velho; ");
  EXPECT_EQ(Registro(), Nativo(R"(
AVISO - Encontrado o diário de uma atualização interrompida. Desfazendo as alterações
INFO - Removido o arquivo de trabalho [@/temp/app.exe-2.0-1.parcial-Xy34Zw]
INFO - Removido o arquivo recebido [@/temp/app.exe-2.0-1]
AVISO - Atualização interrompida desfeita
)"));
}

#ifndef _WIN32
// A journal that others may write may not have been written by the updater,
// and must not decide what it restores or removes: it goes unread. (Windows
// keeps the program folder to administrators instead.)
TEST_F(DiarioTest, AJournalOthersMayWriteGoesUnread) {
  MarcaAcoesNoDiario();
  Prepara("app.exe=app 2.0; ");
  std::filesystem::permissions(Em("atualizador.diario"), std::filesystem::perms::others_write,
                               std::filesystem::perm_options::add);
  ReparaAtualizacaoInterrompida();
  EXPECT_FALSE(std::filesystem::exists(Em("atualizador.diario")));
  EXPECT_EQ(LeArquivo(Em("app.exe")), "app 2.0");
  EXPECT_EQ(Registro(), Nativo(R"(
AVISO - Encontrado o diário de uma atualização interrompida. Desfazendo as alterações
ERRO - Diário recusado. Detalhes [Permissão negada [@/atualizador.diario]] [70], dados [@\atualizador.diario]
)"));
}
#endif

}  // namespace
}  // namespace tarvik::teste
