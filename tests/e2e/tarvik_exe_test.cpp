// Runs the built Tarvik.exe as a process in a temporary installation against
// a scripted update server on 127.0.0.1.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include "e2e/instalacao_e2e.h"
#include "e2e/servidor_atualizacao.h"
#include "platform/installation_lock.h"
#include "support/servidor_local.h"

#ifndef _WIN32
#include <sqlite3.h>
#endif

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using teste::Descritor;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Linhas = std::vector<std::string>;

constexpr char kInicio[] = "<data> - INFO - Inicio";
constexpr char kControleAusente[] =
    "<data> - AVISO - Arquivo de controle de atualização não existe. Irá forçar a execução do "
    "atualizador";
constexpr char kFim[] = "<data> - INFO - Fim (processo executado)";
const std::string kM1 = teste::Caixa(
    "Atualizador TARVIK", "Informação",
    "O atualizador do sistema foi atualizado. Ele irá reiniciar agora para buscar atualizações no "
    "TARVIK");
const std::string kM2 = teste::Caixa(
    "Atualizador TARVIK", "Erro",
    "Um ou mais arquivos do TARVIK estão em uso, não é possível efetuar a atualização.");
const std::string kM3 = teste::Caixa(
    "Atualizador TARVIK", "Erro",
    "Não foi possível concluir a instalação do software.\nPor favor verifique com o administrador "
    "da sua rede se existe algum tipo de restrição (de Proxy ou Firewall por exemplo) ou se você "
    "não é administrador da máquina.\n\nPara uma nova tentativa, encerre o software e execute-o "
    "novamente.\n\nPara continuar trabalhando com a versão atual, clique em OK.");

class TarvikExeTest : public ::testing::Test {
 protected:
  TarvikExeTest() { instalacao_.ConfiguracaoServidor(servidor_.UrlVerificacao()); }

  // The log's lines that contain one of `trechos`.
  Linhas LinhasCom(std::initializer_list<std::string_view> trechos) const {
    Linhas linhas = instalacao_.LinhasRegistro();
    std::erase_if(linhas, [&](const std::string& linha) {
      return std::ranges::none_of(
          trechos, [&](auto trecho) { return linha.find(trecho) != std::string::npos; });
    });
    return linhas;
  }
  static std::string Verificacao(const std::string& consulta) {
    return std::string(teste::ServidorAtualizacao::kCaminho) + consulta;
  }
  void NovaRodada() const {
    for (const char* arquivo : {"registro.log", "dados/atualiza.txt", "executou"}) {
      fs::remove(instalacao_.Em(arquivo));
    }
  }
  // Whether the run left the control file written, and the application
  // started once.
  void ControleEAplicativo(bool escrito) const {
    EXPECT_EQ(fs::exists(instalacao_.Em("dados/atualiza.txt")), escrito);
    EXPECT_TRUE(instalacao_.AplicativoIniciado());
  }

  teste::InstalacaoE2E instalacao_;
  teste::ServidorAtualizacao servidor_;
};

TEST_F(TarvikExeTest, RunTheDayAfterACheckOnlyStartsTheApplication) {
  teste::EscreveArquivo(instalacao_.Em("dados/atualiza.txt"), "[ControleAtualizador]\r\n");
  fs::last_write_time(instalacao_.Em("dados/atualiza.txt"),
                      fs::file_time_type::clock::now() - std::chrono::hours(24));
  // A broken configuration would show if it were read.
  instalacao_.Configuracao(std::string(4096, '\0'));
  EXPECT_EQ(instalacao_.Executa().status, 0);
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            (Linhas{kInicio, "<data> - INFO - Atualização não necessária agora. Será em 1 dia(s)",
                    "<data> - INFO - Fim (não buscou nova versão)"}));
  EXPECT_TRUE(instalacao_.AplicativoIniciado());
}

// A run started while another holds the installation (a double click)
// waits for it to end, says so, and only then reads the installation.
TEST_F(TarvikExeTest, ASecondRunWaitsForTheFirstToEnd) {
  teste::EscreveArquivo(instalacao_.Em("dados/atualiza.txt"), "[ControleAtualizador]\r\n");
  auto primeira = std::make_unique<platform::InstallationLock>(
      teste::Utf8(instalacao_.Em("atualizador.trava")));
  ASSERT_TRUE(primeira->TryAcquire());
  std::thread segunda([this] { EXPECT_EQ(instalacao_.Executa().status, 0); });
  const Linhas espera{
      "<data> - AVISO - Outra execução do atualizador está em andamento nesta instalação. "
      "Aguardando o seu fim"};
  EXPECT_TRUE(teste::Aguarda([&] { return instalacao_.LinhasRegistro() == espera; }));
  EXPECT_FALSE(fs::exists(instalacao_.Em("executou")));
  primeira.reset();
  segunda.join();
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            (Linhas{espera[0], kInicio,
                    "<data> - INFO - Atualização não necessária agora. Será em 2 dia(s)",
                    "<data> - INFO - Fim (não buscou nova versão)"}));
  EXPECT_TRUE(instalacao_.AplicativoIniciado());
}

// A restart argument other than the updater's own version, even one that
// starts with it, makes no difference.
TEST_F(TarvikExeTest, NothingDueRewritesTheControlFileAndStartsTheApplication) {
  const auto resultado = instalacao_.Executa({"4.00", "x"});
  EXPECT_EQ(resultado.status, 0);
  EXPECT_EQ(resultado.caixas, "");
  const std::string url = "<data> - INFO - url em uso: [" + servidor_.UrlVerificacao();
  const auto buscando = [](const std::string& versao, const std::string& atualizador) {
    return "<data> - INFO - Buscando informação de atualização. Versão atual: " + versao +
           ", atualizador: " + atualizador;
  };
  EXPECT_EQ(
      instalacao_.LinhasRegistro(),
      (Linhas{kInicio, kControleAusente, "<data> - INFO - Versão reinicio: [4.00 x] atual [4.00]",
              buscando("4.00", "True"), url + "?versaoAplicativo=4.00&atualizador=on]",
              "<data> - INFO - Resposta recebida. Código http [200]",
              "<data> - INFO - Não é necessário atualizar o atualizador. Versão atual já é a "
              "correta (4.00)",
              buscando("2.30", "False"), url + "?versaoAplicativo=2.30]",
              "<data> - INFO - Resposta recebida. Código http [200]",
              "<data> - INFO - Não é necessário atualizar o TARVIK. Versão atual já é a "
              "correta (2.30)",
              "<data> - AVISO - Criando arquivo de marcação do atualizador", kFim}));
  EXPECT_EQ(servidor_.Pedidos(), (Linhas{Verificacao("?versaoAplicativo=4.00&atualizador=on"),
                                         Verificacao("?versaoAplicativo=2.30")}));
  ControleEAplicativo(true);
}

TEST_F(TarvikExeTest, FailedApplicationCheckShowsM3AndStartsTheApplicationOnce) {
  servidor_.Responde(false, {500, "falha"});
  EXPECT_EQ(instalacao_.Executa().caixas, kM3);
  const Linhas linhas = instalacao_.LinhasRegistro();
  ASSERT_GE(linhas.size(), 2u);
  EXPECT_EQ(Linhas(linhas.end() - 2, linhas.end()),
            (Linhas{"<data> - INFO - Erro na recepção. Código HTTP: [500], mensagem [Internal "
                    "Server Error]",
                    kFim}));
  ControleEAplicativo(false);
}

TEST_F(TarvikExeTest, ApplicationFileInUseUndoesStartsTheApplicationThenShowsM2) {
  const std::string antigo = teste::LeArquivo(instalacao_.Em("pelirana.exe"));
  servidor_.Responde(
      false,
      {200, Descritor("2.31", false,
                      {{"SubstituirArquivo", servidor_.Arquivo("pelirana.exe", "#!/bin/sh\n"),
                        "$base$\\", "#!/bin/sh\n"}})});
  // Held until the updater reports its failure, so that it can start the
  // application afterwards (on Windows a program held without sharing
  // cannot start).
  std::optional<teste::ArquivoEmUso> emUso(instalacao_.Em("pelirana.exe"));
  servidor_.AoRelatorio([&] { emUso.reset(); });
  EXPECT_EQ(instalacao_.Executa().caixas, kM2);
  EXPECT_EQ(teste::LeArquivo(instalacao_.Em("pelirana.exe")), antigo);
  EXPECT_EQ(LinhasCom({"Falhando"}),
            Linhas{"<data> - AVISO - Arquivo em uso sem possibilidade de atualizar. Falhando"});
  EXPECT_NE(servidor_.Pedidos().back().find("&resultado=FalhaArquivosEmUso&"), std::string::npos);
  ControleEAplicativo(false);
}

// A new updater and a file of it that another process holds: neither can be
// replaced while the updater runs, so both are left to the restart batch.
TEST_F(TarvikExeTest, SelfUpdateReplacesTheUpdaterFilesInUseThroughTheBatchAndRestarts) {
  // The same program with bytes appended: it still runs, and the installed
  // file shows whether the batch copied it.
  const std::string novo = teste::LeArquivo(instalacao_.Em("Tarvik.exe")) + "\nTarvik 4.01\n";
  teste::EscreveArquivo(instalacao_.Em("Recursos.dll"), "recursos 4.00");
  servidor_.Responde(
      true,
      {200, Descritor("4.01", true,
                      {{"SubstituirArquivo", servidor_.Arquivo("Tarvik.exe", novo), "$base$\\",
                        novo, true},
                       {"SubstituirArquivo", servidor_.Arquivo("Recursos.dll", "recursos 4.01"),
                        "$base$\\", "recursos 4.01", true}})});
  // Let go once the updater has tried it, before the batch copies it.
  std::optional<teste::ArquivoEmUso> emUso(instalacao_.Em("Recursos.dll"));
  servidor_.AoRelatorio([&] { emUso.reset(); });
  const auto resultado = instalacao_.Executa();
  EXPECT_EQ(resultado.status, 0);
  EXPECT_EQ(resultado.caixas, kM1);

  // The batch waits for that process, copies, restarts the updater with the
  // version that did the update, and deletes itself.
  ASSERT_TRUE(
      teste::Aguarda([&] { return std::ranges::count(instalacao_.LinhasRegistro(), kFim) == 2; }));
  EXPECT_TRUE(teste::Aguarda([&] { return !fs::exists(instalacao_.Em("atualiza.bat")); }));
  EXPECT_TRUE(teste::LeArquivo(instalacao_.Em("Tarvik.exe")) == novo) << "não copiou Tarvik.exe";
  EXPECT_EQ(teste::LeArquivo(instalacao_.Em("Recursos.dll")), "recursos 4.01");
  EXPECT_EQ(LinhasCom({"Saindo com lista", "reinicio", "reinício"}),
            (Linhas{"<data> - INFO - Versão reinicio: [] atual [4.00]",
                    "<data> - AVISO - Saindo com lista de arquivos em uso para reiniciar",
                    "<data> - INFO - Versão reinicio: [4.00] atual [4.00]",
                    "<data> - AVISO - A versão de reinício é igual a atual. Isto pode indicar "
                    "falha no processo de atualização do atualizador"}));
  EXPECT_THAT(servidor_.Pedidos(),
              ElementsAre(Verificacao("?versaoAplicativo=4.00&atualizador=on"),
                          "/arquivos/Tarvik.exe", "/arquivos/Recursos.dll",
                          HasSubstr("&resultado=ArquivosEmUsoReiniciar&versao_original=4.00&"
                                    "versao_atualizada=4.01&"),
                          Verificacao("?versaoAplicativo=2.30")));
  ControleEAplicativo(true);
}

// The update replaces one file and removes another; in the second round
// the removal of a folder that is not empty fails, and the replaced file
// is put back.
TEST_F(TarvikExeTest, ApplicationUpdateIsAppliedOrUndoneWithM3) {
  teste::EscreveArquivo(instalacao_.Em("leiame.txt"), "versão 2.30");
  teste::EscreveArquivo(instalacao_.Em("antigo.txt"), "antigo");
  teste::EscreveArquivo(instalacao_.Em("dados/base.txt"), "");
  const auto atualizacao = [&](const teste::EntradaDescritor& outra) {
    const std::string leiame = servidor_.Arquivo("leiame.txt", "versão 2.31");
    servidor_.Responde(
        false, {200, Descritor("2.31", false,
                               {{"SubstituirArquivo", leiame, "$base$\\", "versão 2.31"}, outra},
                               "2.30", {{"http://s/2.30/leiame.txt", "versão 2.30"}})});
  };
  const std::string pasta = teste::Utf8(instalacao_.Pasta());

  atualizacao({"RemoverArquivo", "http://s/2.30/antigo.txt"});
  EXPECT_EQ(instalacao_.Executa().caixas, "");
  EXPECT_EQ(teste::LeArquivo(instalacao_.Em("leiame.txt")), "versão 2.31");
  EXPECT_FALSE(fs::exists(instalacao_.Em("antigo.txt")));
  EXPECT_EQ(LinhasCom({"Removendo o arquivo", "Sucesso na"}),
            (Linhas{"<data> - INFO - Removendo o arquivo [" + pasta + "\\antigo.txt]",
                    "<data> - INFO - Sucesso na atualização do TARVIK"}));
  EXPECT_NE(servidor_.Pedidos().back().find("&resultado=SucessoInstalacao&"), std::string::npos);
  ControleEAplicativo(true);

  NovaRodada();
  teste::EscreveArquivo(instalacao_.Em("leiame.txt"), "versão 2.30");
  atualizacao({"RemoverPasta", "dados"});
  EXPECT_EQ(instalacao_.Executa().caixas, kM3);
  EXPECT_EQ(teste::LeArquivo(instalacao_.Em("leiame.txt")), "versão 2.30");
  EXPECT_EQ(LinhasCom({"[SubstituirArquivo]", "Desfazendo ações"}),
            (Linhas{"<data> - INFO - Executando [SubstituirArquivo] com [2] detalhes",
                    "<data> - AVISO - Desfazendo ações executadas",
                    "<data> - INFO - Desfazendo tarefa: [SubstituirArquivo]"}));
  EXPECT_NE(servidor_.Pedidos().back().find("&resultado=FalhaInstalacao&"), std::string::npos);
  ControleEAplicativo(false);
}

TEST_F(TarvikExeTest, UnwritableLogEndsTheRunWithoutTheApplication) {
  fs::create_directory(instalacao_.Em("registro.log"));
  const auto resultado = instalacao_.Executa();
  EXPECT_NE(resultado.status, 0);
  EXPECT_EQ(
      resultado.caixas,
      teste::RelatoFatal("Erro em tempo de execução '75': Erro de acesso a caminho/arquivo [" +
                         teste::Utf8(instalacao_.Em("registro.log")) + "]"));
  EXPECT_FALSE(fs::exists(instalacao_.Em("executou")));
}

// Without the version in the configuration, the data come from the
// application's database; one that does not open leaves only the
// application to start.
TEST_F(TarvikExeTest, BaseModeWithoutADatabaseStartsTheApplication) {
  instalacao_.Configuracao("");
  EXPECT_EQ(instalacao_.Executa().caixas, "");
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            (Linhas{kInicio, kControleAusente, "<data> - INFO - Acessando informação na base",
                    "<data> - ERRO - Erro abrindo a base"}));
  EXPECT_TRUE(instalacao_.AplicativoIniciado());
}

#ifndef _WIN32  // On Windows the database opens through Jet, which Wine lacks.
// A failed updater check makes no application check. The production
// address is reached only through a proxy on loopback that refuses the
// tunnel, so no request leaves the machine.
TEST_F(TarvikExeTest, BaseModeAsksTheProductionAddress) {
  teste::ServidorLocal proxy;
  proxy.Inicia();
  instalacao_.Configuracao("");
  sqlite3* banco = nullptr;
  ASSERT_EQ(sqlite3_open(instalacao_.Em("dados/pelirana.mdb").c_str(), &banco), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(banco,
                         "CREATE TABLE tbEmpresa (Agencia, conta, dac, cnpjcpf);"
                         "CREATE TABLE tbSistema (verProd, idInstalacao);"
                         "INSERT INTO tbSistema VALUES ('2.30', 'ID');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(banco);
  EXPECT_EQ(instalacao_
                .Executa({}, {{"https_proxy", proxy.Url("")},
                              {"HTTPS_PROXY", proxy.Url("")},
                              {"no_proxy", ""},
                              {"NO_PROXY", ""}})
                .caixas,
            kM3);
  EXPECT_EQ(LinhasCom({"url em uso"}),
            Linhas{"<data> - INFO - url em uso: [https://atualizacao.tarvik.com.br/tarvik/"
                   "VerificaAtualizacao.aspx?versaoAplicativo=4.00&atualizador=on]"});
  EXPECT_EQ(proxy.Pedidos().size(), 1u);
  ControleEAplicativo(false);
}
#endif

}  // namespace
}  // namespace tarvik
