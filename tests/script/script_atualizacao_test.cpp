#include "script/script_atualizacao.h"

#include <exception>
#include <new>
#include <ostream>
#include <stdexcept>
#include <typeinfo>

#include "log/registro.h"
#include "script/script_teste.h"
#include "support/processo.h"
#include "support/utilitarios_falsos.h"

namespace tarvik::teste {
namespace {

using ScriptAtualizacaoTest = ScriptTeste;
using Textos = std::vector<std::string>;

// Every listed task runs, in the order listed.
TEST_F(ScriptAtualizacaoTest, AppliesEveryActionKind) {
  Prepara("app.dll=app 1.0; velho.dll=velho 1.0; antiga/; ");
  const std::string descritor = Descritor(
      {{"SubstituirArquivo", Publica("app.dll", "app 2.0"), "$base$\\", "app 2.0"},
       {"CriarPasta", "plugins"},
       {"CopiarNovoArquivo", Publica("novo.dll", "novo 2.0"), "$base$\\plugins\\", "novo 2.0"},
       {"RemoverArquivo", "http://servidor/2.0/velho.dll"},
       {"RemoverPasta", "antiga"}},
      false, {{"app.dll", "app 1.0"}});
  EXPECT_EQ(Processa(descritor), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Registro().substr(0, Registro().find("INFO - Executando")), R"(
INFO - pastaBase [@]
INFO - pastaTemporaria [temp\]
INFO - pastaBackup [backup\]
INFO - ********* inicio do script de atualização
INFO - VerificarArquivoOriginal: [app.dll] [#app 1.0] [7] [False] [http://servidor/1.0/app.dll] |
INFO - CriarPasta: [@\backup\] [@\temp\] |
INFO - VerificarPermissaoGravacaoPastas: [@\backup\] [@\temp\] |
INFO - BaixarArquivo: [<servidor>/arquivos/app.dll] [@\temp\app.dll-2.0-1] [7] |
INFO - BaixarArquivo: [<servidor>/arquivos/novo.dll] [@\temp\novo.dll-2.0-3] [8] |
INFO - AguardarFimArquivosBaixar: |
INFO - VerificarValidadeArquivo: [@\temp\app.dll-2.0-1] [#app 2.0] [7] [False] |
INFO - VerificarValidadeArquivo: [@\temp\novo.dll-2.0-3] [#novo 2.0] [8] [False] |
INFO - EfetuarCopiaSeguranca: [@\app.dll] [@\backup\app.dll-1.0-1] [@\backup\app.dll] [#app 2.0] |
INFO - EfetuarCopiaSeguranca: [@\plugins\novo.dll] [@\backup\novo.dll-1.0-3] [@\backup\novo.dll] [#novo 2.0] |
INFO - EfetuarCopiaSeguranca: [@\velho.dll] [@\backup\velho.dll-1.0-4] [@\backup\velho.dll] [] |
INFO - SubstituirArquivo: [@\temp\app.dll-2.0-1] [@\app.dll] |
INFO - CriarPasta: [@\plugins] |
INFO - CopiarNovoArquivo: [@\temp\novo.dll-2.0-3] [@\plugins\novo.dll] |
INFO - RemoverArquivo: [@\velho.dll] |
INFO - RemoverPasta: [@\antiga] |
INFO - ********* fim do script de atualização
INFO - ######### inicio da execução do script de atualização
)");
  const Textos listadas = Nomes("(\\w+): ");
  EXPECT_EQ(listadas.size(), 16u);
  EXPECT_EQ(Nomes("Executando \\[(\\w+)\\]"), listadas);
  EXPECT_EQ(Arquivos(),
            "app.dll=app 2.0; backup/; backup/app.dll=app 1.0; backup/app.dll-1.0-1=app 1.0; "
            "backup/velho.dll=velho 1.0; backup/velho.dll-1.0-4=velho 1.0; plugins/; "
            "plugins/novo.dll=novo 2.0; temp/; temp/app.dll-2.0-1=app 2.0; "
            "temp/novo.dll-2.0-3=novo 2.0; ");
  EXPECT_EQ(script_.ListaArquivosEmUso(), nullptr);
  EXPECT_EQ(interface_.Titulo() + "|" + interface_.Mensagem(),
            "Atualizando|Processando atualização");
}

// The failing task ends the run; what ran is undone newest first, after the
// entry that heads the undo, and a run whose first task fails undoes only
// that entry.
TEST_F(ScriptAtualizacaoTest, FailingTaskUndoesWhatRanNewestFirst) {
  Prepara("app.dll=app 1.0; cheia/x=x; ");
  EXPECT_EQ(Processa(Descritor({{"RemoverPasta", "cheia"}, {"CriarPasta", "nova"}})),
            Resultado::kFalhaInstalacao);
  EXPECT_EQ(Registro().substr(Registro().find("\nINFO - Resultado da tarefa: [FalhaInstalacao]")),
            R"(
INFO - Resultado da tarefa: [FalhaInstalacao]
INFO - ######### fim da execução do script de atualização
AVISO - Desfazendo ações executadas
INFO - Desfazendo tarefa: [ExibirMensagem]
)");
  std::filesystem::remove(Em("registro.log"));
  const std::string descritor =
      Descritor({{"SubstituirArquivo", Publica("app.dll", "app 2.0"), "$base$\\", "app 2.0"},
                 {"SubstituirArquivo", Publica("lib.dll", "lib 2.0"), "$base$\\", "lib 2.1"}});
  EXPECT_EQ(Processa(descritor), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Desfeitas(), (Textos{"ExibirMensagem", "VerificarValidadeArquivo",
                                 "AguardarFimArquivosBaixar", "BaixarArquivo", "BaixarArquivo",
                                 "VerificarPermissaoGravacaoPastas", "CriarPasta"}));
  EXPECT_EQ(Arquivos(), "app.dll=app 1.0; backup/; cheia/; cheia/x=x; temp/; ");
  EXPECT_EQ(interface_.Titulo() + "|" + interface_.Mensagem(),
            "Falha na atualização|Desfazendo ações");
}

// Neither the other files nor the folders nor the installed files listed
// take part; the entries keep their indices.
TEST_F(ScriptAtualizacaoTest, SelfUpdateTakesOnlyTheUpdatersFiles) {
  Prepara("Tarvik.exe=tarvik 1.0; pelirana.exe=pelirana 1.0; atualiza.dll=dll 1.0; ");
  const std::string descritor = Descritor(
      {{"SubstituirArquivo", Publica("Tarvik.exe", "tarvik 2.0"), "$base$\\", "tarvik 2.0", true},
       {"SubstituirArquivo", Publica("pelirana.exe", "pelirana 2.0"), "$base$\\", "pelirana 2.0"},
       {"SubstituirArquivo", Publica("atualiza.dll", "dll 2.0"), "$base$\\", "dll 2.0", true},
       {"CriarPasta", "relatorios"}},
      true, {{"pelirana.exe", "pelirana 1.0"}});
  EXPECT_EQ(Processa(descritor, false), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Registro().find("VerificarArquivoOriginal"), std::string::npos);
  EXPECT_EQ(Arquivos(),
            "Tarvik.exe=tarvik 2.0; atualiza.dll=dll 2.0; backup/; backup/Tarvik.exe=tarvik 1.0; "
            "backup/Tarvik.exe-1.0-1=tarvik 1.0; backup/atualiza.dll=dll 1.0; "
            "backup/atualiza.dll-1.0-3=dll 1.0; pelirana.exe=pelirana 1.0; temp/; "
            "temp/Tarvik.exe-2.0-1=tarvik 2.0; temp/atualiza.dll-2.0-3=dll 2.0; ");
}

class ArquivosEmUsoTest : public ScriptTeste {
 protected:
  void SetUp() override { Prepara("app.exe=app 1.0; velho.dll=velho; cheia/x=x; "); }
  std::string Descritor(const std::string& depois) {
    return ScriptTeste::Descritor(
        {{"SubstituirArquivo", Publica("app.exe", "app 2.0"), "$base$\\", "app 2.0"},
         {depois, depois == "RemoverPasta" ? "cheia" : "http://servidor/velho.dll"}});
  }
};

// A run that may not fail leaves the files in use for the restart batch,
// unless it was undone: the records of an undone run would copy files that
// the undo removed.
TEST_F(ArquivosEmUsoTest, LeftForTheRestartWhenTheRunMayNotFail) {
  ArquivoEmUso app(Em("app.exe"));
  ArquivoEmUso velho(Em("velho.dll"));
  EXPECT_EQ(Processa(Descritor("RemoverPasta"), false), Resultado::kFalhaInstalacao);
  EXPECT_EQ(script_.ListaArquivosEmUso(), nullptr);
  EXPECT_TRUE(Registro().ends_with("\nINFO - Desfazendo tarefa: [CriarPasta]\n"));
  EXPECT_EQ(Processa(Descritor("RemoverArquivo"), false), Resultado::kArquivosEmUsoReiniciar);
  ASSERT_NE(script_.ListaArquivosEmUso(), nullptr);
  std::string itens;
  for (const auto& item : *script_.ListaArquivosEmUso()) {
    itens += std::to_string(item->Acao()) + "|" + item->Origem() + "|" + item->Destino() + "; ";
  }
  EXPECT_EQ(Substitui(itens, instalacao_.Pasta().Texto(), "@"),
            "0|@\\temp\\app.exe-2.0-1|@\\app.exe; 1|@\\velho.dll|; ");
  EXPECT_TRUE(
      Registro().ends_with("\nINFO - ######### fim da execução do script de atualização"
                           "\nAVISO - Saindo com lista de arquivos em uso para reiniciar\n"));
  EXPECT_EQ(LeArquivo(Em("app.exe")) + "|" + LeArquivo(Em("temp/app.exe-2.0-1")),
            "app 1.0|app 2.0");
}

// The undo cannot put the file in use back either; the versioned backup,
// the only good copy left, stays.
TEST_F(ArquivosEmUsoTest, FailTheRunWhenItMayFail) {
  ArquivoEmUso app(Em("app.exe"));
  EXPECT_EQ(Processa(Descritor("RemoverArquivo"), true), Resultado::kFalhaArquivosEmUso);
  EXPECT_NE(
      Registro().find("\nINFO - Resultado da tarefa: [ArquivosEmUsoReiniciar]\nAVISO - Arquivo em "
                      "uso sem possibilidade de atualizar. Falhando\nINFO - ######### fim"),
      std::string::npos);
  EXPECT_NE(Registro().find(Nativo("\nAVISO - Erro ao desfazer EfetuarCopiaSeguranca(FileCopy) . "
                                   "detalhes [Permissão negada [@/app.exe]] [70], de "
                                   "[@\\backup\\app.exe-1.0-1] para [@\\app.exe]\n")),
            std::string::npos);
  EXPECT_EQ(script_.ListaArquivosEmUso(), nullptr);
  EXPECT_EQ(LeArquivo(Em("velho.dll")) + "|" + LeArquivo(Em("backup/app.exe-1.0-1")),
            "velho|app 1.0");
}

// A log that cannot be written (a full disk) does not keep the undo from
// putting the files back and removing the download; its error then travels
// on.
TEST_F(ArquivosEmUsoTest, UndoRestoresTheFilesEvenWhenTheLogCannotBeWritten) {
  RespostasFalsas respostas;
  respostas.verificaAcessoExclusivo = [](const std::string& arquivo) {
    if (arquivo.ends_with("velho.dll")) {
      platform::SetAttributes(CaminhoRegistro(), platform::kAttributeReadOnly);
    }
    return Verificacao{0, true};
  };
  FabricaFalsa falsa(respostas);
  EXPECT_THROW(Processa(Descritor("RemoverArquivo")), Erro);
  EXPECT_EQ(LeArquivo(Em("app.exe")) + "|" + LeArquivo(Em("velho.dll")), "app 1.0|velho");
  EXPECT_FALSE(std::filesystem::exists(Em("temp/app.exe-2.0-1")));
  platform::SetAttributes(CaminhoRegistro(), 0);
}

struct CasoExcecao {
  const char* nome;
  std::exception_ptr excecao;
};
void PrintTo(const CasoExcecao& caso, std::ostream* saida) { *saida << caso.nome; }

class ExcecaoNaTarefaTest : public ArquivosEmUsoTest,
                            public testing::WithParamInterface<CasoExcecao> {};

// Whatever a component throws from inside a task, what ran is undone and the
// exception then leaves Processa as it was thrown.
TEST_P(ExcecaoNaTarefaTest, UndoesWhatRanAndTravelsUnchanged) {
  RespostasFalsas respostas;
  respostas.verificaAcessoExclusivo = [](const std::string& arquivo) {
    if (arquivo.ends_with("velho.dll")) std::rethrow_exception(GetParam().excecao);
    return Verificacao{0, true};
  };
  FabricaFalsa falsa(respostas);
  try {
    Processa(Descritor("RemoverArquivo"));
    ADD_FAILURE() << "nenhuma exceção";
  } catch (const std::exception& recebida) {
    try {
      std::rethrow_exception(GetParam().excecao);
    } catch (const std::exception& lancada) {
      EXPECT_EQ(typeid(recebida), typeid(lancada));
      EXPECT_STREQ(recebida.what(), lancada.what());
    }
  }
  // The exception leaves the task at once, without its result line.
  EXPECT_NE(Registro().find("\nINFO - Removendo o arquivo [@\\velho.dll]\nAVISO - Desfazendo ações "
                            "executadas\n"),
            std::string::npos);
  EXPECT_EQ(Desfeitas(), (Textos{"ExibirMensagem", "SubstituirArquivo", "EfetuarCopiaSeguranca",
                                 "EfetuarCopiaSeguranca", "VerificarValidadeArquivo",
                                 "AguardarFimArquivosBaixar", "BaixarArquivo",
                                 "VerificarPermissaoGravacaoPastas", "CriarPasta"}));
  // The journal stays, so that the next run finishes whatever this undo could not.
  EXPECT_TRUE(std::filesystem::remove(Em("atualizador.diario")));
  EXPECT_EQ(Arquivos(),
            "app.exe=app 1.0; backup/; backup/app.exe=app 1.0; backup/velho.dll=velho; cheia/; "
            "cheia/x=x; temp/; velho.dll=velho; ");
}

INSTANTIATE_TEST_SUITE_P(
    Excecoes, ExcecaoNaTarefaTest,
    testing::Values(
        CasoExcecao{"Erro", std::make_exception_ptr(tarvik::Erro(75, "Origem", "Descrição"))},
        CasoExcecao{"RuntimeError", std::make_exception_ptr(std::runtime_error("assinatura"))},
        CasoExcecao{"OutOfRange", std::make_exception_ptr(std::out_of_range("posição"))},
        CasoExcecao{"BadAlloc", std::make_exception_ptr(std::bad_alloc())}),
    [](const auto& caso) { return caso.param.nome; });

// A fresh installation has no working folders; an update that downloads
// nothing still backs up what it removes, into a folder made for it.
TEST_F(ScriptAtualizacaoTest, RemoveOnlyUpdateSucceedsOnAFreshInstallation) {
  EscreveArquivo(instalacao_.Pasta().Em("velho.dll"), "velho");
  EXPECT_EQ(Processa(Descritor(
                {{"RemoverArquivo", "http://servidor/2.0/velho.dll", "$base$\\", "velho"}})),
            Resultado::kSucessoInstalacao);
  EXPECT_EQ(Arquivos(), "backup/; backup/velho.dll=velho; backup/velho.dll-1.0-1=velho; temp/; ");
}

// A file that two entries name, in two letter cases, gets the second copy,
// and the second entry finds the file the first one made: each task sees
// the copies before it in place.
TEST_F(ScriptAtualizacaoTest, AFileNamedTwiceGetsTheSecondCopy) {
  const std::string descritor =
      Descritor({{"CopiarNovoArquivo", Publica("novo.dll", "novo 2.0"), "$base$\\", "novo 2.0"},
                 {"SubstituirArquivo", Publica("NOVO.DLL", "novo 2.1"), "$base$\\", "novo 2.1"}});
  EXPECT_EQ(Processa(descritor), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Registro().find("deveria"), std::string::npos) << Registro();
  EXPECT_EQ(Arquivos(),
            "backup/; novo.dll=novo 2.1; temp/; temp/NOVO.DLL-2.0-2=novo 2.1; "
            "temp/novo.dll-2.0-1=novo 2.0; ");
}

TEST_F(ScriptAtualizacaoTest, NoUpdateChangesNothing) {
  EXPECT_EQ(Processa("[sequenciaAtualizacao]\nitens=0\natualizar=false\nversao=2.0\n"
                     "atualizar_atualizador=false\n"),
            Resultado::kSucessoInstalacao);
  EXPECT_EQ(Registro() + Arquivos(), "\n");
}

}  // namespace
}  // namespace tarvik::teste
