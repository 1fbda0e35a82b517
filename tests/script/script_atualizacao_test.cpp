#include "script/script_atualizacao.h"

#include <gtest/gtest.h>

#include <exception>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <typeinfo>

#include "script/script_teste.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"
#include "support/utilitarios_falsos.h"

namespace tarvik::teste {
namespace {

using ScriptAtualizacaoTest = ScriptTeste;
using Conteudos = std::map<std::string, std::string>;

const std::string kInicioExecucao =
    LinhaInfo("######### inicio da execução do script de atualização");
const std::string kFimExecucao = LinhaInfo("######### fim da execução do script de atualização");
const std::string kInicioScript = LinhaInfo("********* inicio do script de atualização");
const std::string kFimScript = LinhaInfo("********* fim do script de atualização");

TEST_F(ScriptAtualizacaoTest, AppliesEveryActionKind) {
  EscreveArquivo(Em("app.dll"), "app 1.0");
  EscreveArquivo(Em("velho.dll"), "velho 1.0");
  std::filesystem::create_directory(Em("antiga"));
  const std::string urlApp = Publica("app.dll", "app 2.0");
  const std::string urlNovo = Publica("novo.dll", "novo 2.0");
  const std::string descritor =
      Descritor({{"SubstituirArquivo", urlApp, "$base$\\", "app 2.0"},
                 {"CriarPasta", "plugins"},
                 {"CopiarNovoArquivo", urlNovo, "$base$\\plugins\\", "novo 2.0"},
                 {"RemoverArquivo", "http://servidor/2.0/velho.dll"},
                 {"RemoverPasta", "antiga"}},
                false, {{"app.dll", "app 1.0"}});

  EXPECT_EQ(Processa(descritor), Resultado::kSucessoInstalacao);

  const std::string b = Base();
  const auto em = [&b](const std::string& relativo) { return b + "\\" + relativo; };
  const std::string hashApp = Hash("app 2.0"), hashNovo = Hash("novo 2.0");
  const auto gravacao = [&](const std::string& pasta) {
    return Linhas{
        LinhaInfo("Tentando criar arquivo temporário... [" + em(pasta) + "\\, teste, 0]"),
        LinhaInfo("Tentando gravar conteúdo no arquivo temporário [" + b + "/" + pasta +
                  "/teste??????]"),
        LinhaInfo("Tentando remover o arquivo temporário [" + b + "/" + pasta + "/teste??????]")};
  };
  EXPECT_EQ(
      Registro(),
      Junta(
          {{LinhaInfo("pastaBase [" + b + "]"),
            LinhaInfo("pastaTemporaria [temp\\]"),
            LinhaInfo("pastaBackup [backup\\]"),
            kInicioScript,
            Listada("VerificarArquivoOriginal",
                    {"app.dll", Hash("app 1.0"), "7", "False", "http://servidor/1.0/app.dll"}),
            Listada("CriarPasta", {em("backup\\"), em("temp\\")}),
            Listada("VerificarPermissaoGravacaoPastas", {em("backup\\"), em("temp\\")}),
            Listada("BaixarArquivo", {urlApp, em("temp\\app.dll-2.0-1")}),
            Listada("BaixarArquivo", {urlNovo, em("temp\\novo.dll-2.0-3")}),
            Listada("AguardarFimArquivosBaixar", {}),
            Listada("VerificarValidadeArquivo", {em("temp\\app.dll-2.0-1"), hashApp, "7", "False"}),
            Listada("VerificarValidadeArquivo",
                    {em("temp\\novo.dll-2.0-3"), hashNovo, "8", "False"}),
            Listada("EfetuarCopiaSeguranca",
                    {em("app.dll"), em("backup\\app.dll-1.0-1"), em("backup\\app.dll")}),
            Listada("EfetuarCopiaSeguranca", {em("plugins\\novo.dll"), em("backup\\novo.dll-1.0-3"),
                                              em("backup\\novo.dll")}),
            Listada("EfetuarCopiaSeguranca",
                    {em("velho.dll"), em("backup\\velho.dll-1.0-4"), em("backup\\velho.dll")}),
            Listada("SubstituirArquivo", {em("temp\\app.dll-2.0-1"), em("app.dll")}),
            Listada("CriarPasta", {em("plugins")}),
            Listada("CopiarNovoArquivo", {em("temp\\novo.dll-2.0-3"), em("plugins\\novo.dll")}),
            Listada("RemoverArquivo", {em("velho.dll")}),
            Listada("RemoverPasta", {em("antiga")}),
            kFimScript,
            kInicioExecucao},
           Rodada("VerificarArquivoOriginal", 5, {LinhaAviso("Arquivo deveria existir [app.dll]")}),
           Rodada("CriarPasta", 2,
                  {LinhaInfo("Criando pasta: [" + em("backup\\") + "]"),
                   LinhaInfo("Criando pasta: [" + em("temp\\") + "]")}),
           Rodada("VerificarPermissaoGravacaoPastas", 2,
                  Junta({gravacao("backup"), gravacao("temp")})),
           Rodada("BaixarArquivo", 2,
                  {LinhaInfo("Baixando arquivo [" + urlApp + "]"),
                   LinhaInfo("Gravando arquivo [" + em("temp\\app.dll-2.0-1") + "]")}),
           Rodada("BaixarArquivo", 2,
                  {LinhaInfo("Baixando arquivo [" + urlNovo + "]"),
                   LinhaInfo("Gravando arquivo [" + em("temp\\novo.dll-2.0-3") + "]")}),
           Rodada("AguardarFimArquivosBaixar", 0),
           Rodada("VerificarValidadeArquivo", 4),
           Rodada("VerificarValidadeArquivo", 4),
           Rodada("EfetuarCopiaSeguranca", 3,
                  {LinhaInfo("Copiando [" + em("app.dll") + "] para [" +
                             em("backup\\app.dll-1.0-1") + "]")}),
           Rodada("EfetuarCopiaSeguranca", 3,
                  {LinhaAviso("Arquivo não existe. Não será possível restaurar em caso de erro. [" +
                              em("plugins\\novo.dll") + "]")}),
           Rodada("EfetuarCopiaSeguranca", 3,
                  {LinhaInfo("Copiando [" + em("velho.dll") + "] para [" +
                             em("backup\\velho.dll-1.0-4") + "]")}),
           Rodada("SubstituirArquivo", 2),
           Rodada("CriarPasta", 1, {LinhaInfo("Criando pasta: [" + em("plugins\\") + "]")}),
           Rodada("CopiarNovoArquivo", 2),
           Rodada("RemoverArquivo", 1,
                  {LinhaInfo("Removendo o arquivo [" + em("velho.dll") + "]")}),
           Rodada("RemoverPasta", 1),
           {kFimExecucao}}));
  EXPECT_EQ(Arvore(), (Conteudos{{"app.dll", "app 2.0"},
                                 {"backup", kPasta},
                                 {"backup/app.dll", "app 1.0"},
                                 {"backup/app.dll-1.0-1", "app 1.0"},
                                 {"backup/velho.dll", "velho 1.0"},
                                 {"backup/velho.dll-1.0-4", "velho 1.0"},
                                 {"plugins", kPasta},
                                 {"plugins/novo.dll", "novo 2.0"},
                                 {"temp", kPasta},
                                 {"temp/app.dll-2.0-1", "app 2.0"},
                                 {"temp/novo.dll-2.0-3", "novo 2.0"}}));
  EXPECT_EQ(script_.ListaArquivosEmUso(), nullptr);
  EXPECT_EQ(interface_.Titulo(), "Atualizando");
  EXPECT_EQ(interface_.Mensagem(), "Processando atualização");
}

TEST_F(ScriptAtualizacaoTest, FailingCheckOfTheSecondDownloadUndoesNewestFirst) {
  EscreveArquivo(Em("app.dll"), "app 1.0");
  EscreveArquivo(Em("lib.dll"), "lib 1.0");
  const std::string descritor = Descritor(
      {{"SubstituirArquivo", Publica("app.dll", "app 2.0"), "$base$\\", "app 2.0"},
       {"SubstituirArquivo", Publica("lib.dll", "lib 2.0"), "$base$\\", "lib 2.0", false, "0000"}});
  EXPECT_EQ(Processa(descritor), Resultado::kFalhaInstalacao);
  const std::string b = Base();
  EXPECT_EQ(RegistroDesde(LinhaErro("Hash do arquivo [" + b +
                                    "\\temp\\lib.dll-2.0-2] não confere: Recebido: [" +
                                    Hash("lib 2.0") + "] esperado: [0000]")),
            (Linhas{LinhaErro("Hash do arquivo [" + b +
                              "\\temp\\lib.dll-2.0-2] não confere: Recebido: [" + Hash("lib 2.0") +
                              "] esperado: [0000]"),
                    ResultadoTarefa("FalhaInstalacao"), kFimExecucao,
                    LinhaAviso("Desfazendo ações executadas"), Desfazendo("ExibirMensagem"),
                    Desfazendo("VerificarValidadeArquivo"), Desfazendo("AguardarFimArquivosBaixar"),
                    Desfazendo("BaixarArquivo"), Desfazendo("BaixarArquivo"),
                    Desfazendo("VerificarPermissaoGravacaoPastas"), Desfazendo("CriarPasta")}));
  EXPECT_EQ(
      Arvore(),
      (Conteudos{
          {"app.dll", "app 1.0"}, {"backup", kPasta}, {"lib.dll", "lib 1.0"}, {"temp", kPasta}}));
  EXPECT_EQ(interface_.Titulo(), "Falha na atualização");
  EXPECT_EQ(interface_.Mensagem(), "Desfazendo ações");
}

TEST_F(ScriptAtualizacaoTest, FirstTaskFailingUndoesOnlyTheHead) {
  EscreveArquivo(Em("cheia/x"), "x");
  EXPECT_EQ(Processa(Descritor({{"RemoverPasta", "cheia"}, {"CriarPasta", "nova"}})),
            Resultado::kFalhaInstalacao);
  EXPECT_EQ(
      RegistroDesde(kInicioExecucao),
      (Linhas{kInicioExecucao, Executando("RemoverPasta", 1),
              LinhaErro("Erro ao remover a pasta. Detalhes [Erro de acesso a caminho/arquivo [" +
                        Em("cheia") + "]] [75]"),
              ResultadoTarefa("FalhaInstalacao"), kFimExecucao,
              LinhaAviso("Desfazendo ações executadas"), Desfazendo("ExibirMensagem")}));
  EXPECT_EQ(Arvore(), (Conteudos{{"cheia", kPasta}, {"cheia/x", "x"}}));
}

TEST_F(ScriptAtualizacaoTest, SelfUpdateTakesOnlyTheUpdatersFiles) {
  EscreveArquivo(Em("Tarvik.exe"), "tarvik 1.0");
  EscreveArquivo(Em("pelirana.exe"), "pelirana 1.0");
  EscreveArquivo(Em("atualiza.dll"), "dll 1.0");
  const std::string urlTarvik = Publica("Tarvik.exe", "tarvik 2.0");
  const std::string urlDll = Publica("atualiza.dll", "dll 2.0");
  const std::string descritor = Descritor(
      {{"SubstituirArquivo", urlTarvik, "$base$\\", "tarvik 2.0", true},
       {"SubstituirArquivo", Publica("pelirana.exe", "pelirana 2.0"), "$base$\\", "pelirana 2.0"},
       {"SubstituirArquivo", urlDll, "$base$\\", "dll 2.0", true},
       {"CriarPasta", "relatorios"}},
      true, {{"pelirana.exe", "pelirana 1.0"}});
  EXPECT_EQ(Processa(descritor, false), Resultado::kSucessoInstalacao);
  const auto em = [b = Base()](const std::string& relativo) { return b + "\\" + relativo; };
  const auto linhas = Registro();
  const auto inicio = std::find(linhas.begin(), linhas.end(), kInicioScript);
  const auto fim = std::find(linhas.begin(), linhas.end(), kFimScript);
  ASSERT_LT(inicio, fim);
  EXPECT_EQ(
      (Linhas{inicio + 1, fim}),
      (Linhas{
          Listada("CriarPasta", {em("backup\\"), em("temp\\")}),
          Listada("VerificarPermissaoGravacaoPastas", {em("backup\\"), em("temp\\")}),
          Listada("BaixarArquivo", {urlTarvik, em("temp\\Tarvik.exe-2.0-1")}),
          Listada("BaixarArquivo", {urlDll, em("temp\\atualiza.dll-2.0-3")}),
          Listada("AguardarFimArquivosBaixar", {}),
          Listada("VerificarValidadeArquivo",
                  {em("temp\\Tarvik.exe-2.0-1"), Hash("tarvik 2.0"), "10", "False"}),
          Listada("VerificarValidadeArquivo",
                  {em("temp\\atualiza.dll-2.0-3"), Hash("dll 2.0"), "7", "False"}),
          Listada("EfetuarCopiaSeguranca",
                  {em("Tarvik.exe"), em("backup\\Tarvik.exe-1.0-1"), em("backup\\Tarvik.exe")}),
          Listada("EfetuarCopiaSeguranca", {em("atualiza.dll"), em("backup\\atualiza.dll-1.0-3"),
                                            em("backup\\atualiza.dll")}),
          Listada("SubstituirArquivo", {em("temp\\Tarvik.exe-2.0-1"), em("Tarvik.exe")}),
          Listada("SubstituirArquivo", {em("temp\\atualiza.dll-2.0-3"), em("atualiza.dll")})}));
  EXPECT_EQ(Arvore(), (Conteudos{{"Tarvik.exe", "tarvik 2.0"},
                                 {"atualiza.dll", "dll 2.0"},
                                 {"backup", kPasta},
                                 {"backup/Tarvik.exe", "tarvik 1.0"},
                                 {"backup/Tarvik.exe-1.0-1", "tarvik 1.0"},
                                 {"backup/atualiza.dll", "dll 1.0"},
                                 {"backup/atualiza.dll-1.0-3", "dll 1.0"},
                                 {"pelirana.exe", "pelirana 1.0"},
                                 {"temp", kPasta},
                                 {"temp/Tarvik.exe-2.0-1", "tarvik 2.0"},
                                 {"temp/atualiza.dll-2.0-3", "dll 2.0"}}));
}

class ArquivosEmUsoTest : public ScriptTeste {
 protected:
  void SetUp() override {
    EscreveArquivo(Em("app.exe"), "app 1.0");
    EscreveArquivo(Em("velho.dll"), "velho");
    descritor_ =
        Descritor({{"SubstituirArquivo", Publica("app.exe", "app 2.0"), "$base$\\", "app 2.0"},
                   {"RemoverArquivo", "http://servidor/velho.dll"}});
  }

  std::vector<std::string> Itens() const {
    std::vector<std::string> itens;
    for (const auto& item : *script_.ListaArquivosEmUso()) {
      itens.push_back(std::to_string(item->Acao()) + "|" + item->Origem() + "|" + item->Destino());
    }
    return itens;
  }

  std::string descritor_;
};

TEST_F(ArquivosEmUsoTest, LeftForTheRestartWhenTheRunMayNotFail) {
  ArquivoEmUso app(Em("app.exe"));
  ArquivoEmUso velho(Em("velho.dll"));
  EXPECT_EQ(Processa(descritor_, false), Resultado::kArquivosEmUsoReiniciar);
  const std::string b = Base();
  ASSERT_NE(script_.ListaArquivosEmUso(), nullptr);
  EXPECT_EQ(Itens(), (Linhas{"0|" + b + "\\temp\\app.exe-2.0-1|" + b + "\\app.exe",
                             "1|" + b + "\\velho.dll|"}));
  EXPECT_EQ(
      RegistroDesde(kFimExecucao),
      (Linhas{kFimExecucao, LinhaAviso("Saindo com lista de arquivos em uso para reiniciar")}));
  EXPECT_EQ(LeArquivo(Em("app.exe")), "app 1.0");
  EXPECT_EQ(LeArquivo(Em("temp/app.exe-2.0-1")), "app 2.0");
}

TEST_F(ArquivosEmUsoTest, FailTheRunWhenItMayFail) {
  ArquivoEmUso app(Em("app.exe"));
  EXPECT_EQ(Processa(descritor_, true), Resultado::kFalhaArquivosEmUso);
  const std::string b = Base();
  EXPECT_EQ(
      RegistroDesde(ResultadoTarefa("ArquivosEmUsoReiniciar")),
      (Linhas{
          ResultadoTarefa("ArquivosEmUsoReiniciar"),
          LinhaAviso("Arquivo em uso sem possibilidade de atualizar. Falhando"), kFimExecucao,
          LinhaAviso("Desfazendo ações executadas"), Desfazendo("ExibirMensagem"),
          Desfazendo("EfetuarCopiaSeguranca"), Desfazendo("EfetuarCopiaSeguranca"),
          LinhaAviso(
              "Erro ao desfazer EfetuarCopiaSeguranca(FileCopy) . detalhes [Permissão negada [" +
              Em("app.exe") + "]] [70], de [" + b + "\\backup\\app.exe-1.0-1] para [" + b +
              "\\app.exe]"),
          Desfazendo("VerificarValidadeArquivo"), Desfazendo("AguardarFimArquivosBaixar"),
          Desfazendo("BaixarArquivo"), Desfazendo("VerificarPermissaoGravacaoPastas"),
          Desfazendo("CriarPasta")}));
  EXPECT_EQ(script_.ListaArquivosEmUso(), nullptr);
  EXPECT_EQ(LeArquivo(Em("velho.dll")), "velho");
  EXPECT_EQ(LeArquivo(Em("backup/app.exe-1.0-1")), "app 1.0");
}

TEST_F(ArquivosEmUsoTest, AnUndoneRunHandsOutNothing) {
  EscreveArquivo(Em("cheia/x"), "x");
  const std::string descritor =
      Descritor({{"SubstituirArquivo", Publica("app.exe", "app 2.0"), "$base$\\", "app 2.0"},
                 {"RemoverPasta", "cheia"}});
  ArquivoEmUso app(Em("app.exe"));
  EXPECT_EQ(Processa(descritor, false), Resultado::kFalhaInstalacao);
  EXPECT_EQ(script_.ListaArquivosEmUso(), nullptr);
  EXPECT_EQ(Registro().back(), Desfazendo("CriarPasta"));
}

struct CasoExcecao {
  const char* nome;
  std::exception_ptr excecao;
};

class ExcecaoNaTarefaTest : public ScriptTeste, public testing::WithParamInterface<CasoExcecao> {};

// Whatever a component throws from inside a task, what ran is undone and the
// exception then leaves Processa as it was thrown.
TEST_P(ExcecaoNaTarefaTest, UndoesWhatRanAndTravelsUnchanged) {
  EscreveArquivo(Em("app.dll"), "app 1.0");
  EscreveArquivo(Em("velho.dll"), "velho");
  RespostasFalsas respostas;
  respostas.verificaAcessoExclusivo = [](const std::string& arquivo) {
    if (arquivo.ends_with("velho.dll")) std::rethrow_exception(GetParam().excecao);
    return Verificacao{0, true};
  };
  FabricaFalsa falsa(respostas);
  const std::string descritor =
      Descritor({{"SubstituirArquivo", Publica("app.dll", "app 2.0"), "$base$\\", "app 2.0"},
                 {"RemoverArquivo", "http://servidor/velho.dll"}});
  try {
    Processa(descritor);
    ADD_FAILURE() << "nenhuma exceção";
  } catch (const std::exception& recebida) {
    try {
      std::rethrow_exception(GetParam().excecao);
    } catch (const std::exception& lancada) {
      EXPECT_EQ(typeid(recebida), typeid(lancada));
      EXPECT_STREQ(recebida.what(), lancada.what());
    }
  }
  EXPECT_EQ(RegistroDesde(Executando("RemoverArquivo", 1)),
            (Linhas{Executando("RemoverArquivo", 1),
                    LinhaInfo("Removendo o arquivo [" + Base() + "\\velho.dll]"),
                    LinhaAviso("Desfazendo ações executadas"), Desfazendo("ExibirMensagem"),
                    Desfazendo("SubstituirArquivo"), Desfazendo("EfetuarCopiaSeguranca"),
                    Desfazendo("EfetuarCopiaSeguranca"), Desfazendo("VerificarValidadeArquivo"),
                    Desfazendo("AguardarFimArquivosBaixar"), Desfazendo("BaixarArquivo"),
                    Desfazendo("VerificarPermissaoGravacaoPastas"), Desfazendo("CriarPasta")}));
  EXPECT_EQ(Arvore(), (Conteudos{{"app.dll", "app 1.0"},
                                 {"backup", kPasta},
                                 {"backup/app.dll", "app 1.0"},
                                 {"backup/velho.dll", "velho"},
                                 {"temp", kPasta},
                                 {"velho.dll", "velho"}}));
}

INSTANTIATE_TEST_SUITE_P(
    Excecoes, ExcecaoNaTarefaTest,
    testing::Values(
        CasoExcecao{"Erro", std::make_exception_ptr(tarvik::Erro(75, "Origem", "Descrição"))},
        CasoExcecao{"RuntimeError", std::make_exception_ptr(std::runtime_error("assinatura"))},
        CasoExcecao{"OutOfRange", std::make_exception_ptr(std::out_of_range("posição"))},
        CasoExcecao{"BadAlloc", std::make_exception_ptr(std::bad_alloc())}),
    [](const auto& caso) { return caso.param.nome; });

TEST_F(ScriptAtualizacaoTest, NoUpdateOrNothingToDo) {
  const std::string semAtualizacao =
      "[sequenciaAtualizacao]\r\nitens=0\r\natualizar=false\r\nversao=2.0\r\natualizar_atualizador="
      "false\r\n";
  EXPECT_EQ(Processa(semAtualizacao), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Registro(), Linhas{});
  EXPECT_EQ(Processa(Descritor({})), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Registro(),
            (Linhas{LinhaInfo("pastaBase [" + Base() + "]"), LinhaInfo("pastaTemporaria [temp\\]"),
                    LinhaInfo("pastaBackup [backup\\]"), kInicioScript, kFimScript, kInicioExecucao,
                    kFimExecucao}));
  EXPECT_EQ(Arvore(), Conteudos{});
  EXPECT_EQ(script_.ListaArquivosEmUso(), nullptr);
}

}  // namespace
}  // namespace tarvik::teste
