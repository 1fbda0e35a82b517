// Runs the built Tarvik.exe as a process in a temporary installation against
// a scripted update server on 127.0.0.1.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include "e2e/instalacao_e2e.h"
#include "e2e/servidor_atualizacao.h"
#include "support/servidor_local.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using teste::Descritor;
using teste::EntradaDescritor;
using Linhas = std::vector<std::string>;
using Resposta = teste::ServidorAtualizacao::Resposta;

constexpr char kControleAusente[] =
    "<data> - AVISO - Arquivo de controle de atualização não existe. Irá forçar a execução do "
    "atualizador";
constexpr char kFim[] = "<data> - INFO - Fim (processo executado)";
constexpr char kM1[] =
    "Atualizador TARVIK - Informação\nO atualizador do sistema foi atualizado. Ele irá reiniciar "
    "agora para buscar atualizações no TARVIK\n";
constexpr char kM2[] =
    "Atualizador TARVIK - Erro\nUm ou mais arquivos do TARVIK estão em uso, não é possível efetuar "
    "a atualização.\n";
constexpr char kM3[] =
    "Atualizador TARVIK - Erro\nNão foi possível concluir a instalação do software.\nPor favor "
    "verifique com o administrador da sua rede se existe algum tipo de restrição (de Proxy ou "
    "Firewall por exemplo) ou se você não é administrador da máquina.\n\nPara uma nova tentativa, "
    "encerre o software e execute-o novamente.\n\nPara continuar trabalhando com a versão atual, "
    "clique em OK.\n";

class TarvikExeTest : public ::testing::Test {
 protected:
  // The log's lines that contain `trecho`.
  Linhas LinhasCom(const std::string& trecho) const {
    Linhas escolhidas;
    for (const auto& linha : instalacao_.LinhasRegistro()) {
      if (linha.find(trecho) != std::string::npos) escolhidas.push_back(linha);
    }
    return escolhidas;
  }
  std::string Verificacao(const std::string& consulta) const {
    return std::string(teste::ServidorAtualizacao::kCaminho) + consulta;
  }
  bool ControleEscrito() const { return fs::exists(instalacao_.Em("dados/atualiza.txt")); }

  teste::InstalacaoE2E instalacao_;
};

TEST_F(TarvikExeTest, RunTheDayAfterACheckOnlyStartsTheApplication) {
  teste::EscreveArquivo(instalacao_.Em("dados/atualiza.txt"), "[ControleAtualizador]\r\n");
  fs::last_write_time(instalacao_.Em("dados/atualiza.txt"),
                      fs::file_time_type::clock::now() - std::chrono::hours(24));
  // A broken configuration would show if it were read.
  instalacao_.Configuracao(std::string(4096, '\0'));
  const auto resultado = instalacao_.Executa();
  EXPECT_EQ(resultado.status, 0);
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            (Linhas{"<data> - INFO - Inicio",
                    "<data> - INFO - Atualização não necessária agora. Será em 1 dia(s)",
                    "<data> - INFO - Fim (não buscou nova versão)"}));
  EXPECT_TRUE(instalacao_.AplicativoIniciado());
}

TEST_F(TarvikExeTest, NothingDueRewritesTheControlFileAndStartsTheApplication) {
  teste::ServidorAtualizacao servidor;
  instalacao_.ConfiguracaoServidor(servidor.UrlVerificacao());
  const auto resultado = instalacao_.Executa();
  EXPECT_EQ(resultado.status, 0);
  EXPECT_EQ(resultado.erros, "");
  const std::string url = "<data> - INFO - url em uso: [" + servidor.UrlVerificacao();
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            (Linhas{"<data> - INFO - Inicio", kControleAusente,
                    "<data> - INFO - Versão reinicio: [] atual [4.00]",
                    "<data> - INFO - Buscando informação de atualização. Versão atual: 4.00, "
                    "atualizador: True",
                    url + "?versaoAplicativo=4.00&atualizador=on]",
                    "<data> - INFO - Resposta recebida. Código http [200]",
                    "<data> - INFO - Não é necessário atualizar o atualizador. Versão atual já é a "
                    "correta (4.00)",
                    "<data> - INFO - Buscando informação de atualização. Versão atual: 2.30, "
                    "atualizador: False",
                    url + "?versaoAplicativo=2.30]",
                    "<data> - INFO - Resposta recebida. Código http [200]",
                    "<data> - INFO - Não é necessário atualizar o TARVIK. Versão atual já é a "
                    "correta (2.30)",
                    "<data> - AVISO - Criando arquivo de marcação do atualizador", kFim}));
  EXPECT_EQ(servidor.Pedidos(), (Linhas{Verificacao("?versaoAplicativo=4.00&atualizador=on"),
                                        Verificacao("?versaoAplicativo=2.30")}));
  EXPECT_TRUE(ControleEscrito());
  EXPECT_TRUE(instalacao_.AplicativoIniciado());
}

TEST_F(TarvikExeTest, RestartWithItsOwnVersionSkipsTheUpdaterCheck) {
  teste::ServidorAtualizacao servidor;
  instalacao_.ConfiguracaoServidor(servidor.UrlVerificacao());
  instalacao_.Executa({"4.00"});
  EXPECT_EQ(LinhasCom("reinício"),
            (Linhas{"<data> - AVISO - A versão de reinício é igual a atual. Isto pode indicar "
                    "falha no processo de atualização do atualizador"}));
  EXPECT_EQ(LinhasCom("Versão reinicio"),
            Linhas{"<data> - INFO - Versão reinicio: [4.00] atual [4.00]"});
  EXPECT_EQ(servidor.Pedidos(), Linhas{Verificacao("?versaoAplicativo=2.30")});
  EXPECT_TRUE(ControleEscrito());

  // Only the whole text counts: "4.00 x" is another version.
  fs::remove(instalacao_.Em("registro.log"));
  fs::remove(instalacao_.Em("dados/atualiza.txt"));
  instalacao_.Executa({"4.00", "x"});
  EXPECT_EQ(LinhasCom("Versão reinicio"),
            Linhas{"<data> - INFO - Versão reinicio: [4.00 x] atual [4.00]"});
  EXPECT_EQ(servidor.Pedidos().size(), 3u);
}

TEST_F(TarvikExeTest, FailedApplicationCheckShowsM3ThenStartsTheApplication) {
  teste::ServidorAtualizacao servidor;
  servidor.RespostaAplicativo({500, "falha"});
  instalacao_.ConfiguracaoServidor(servidor.UrlVerificacao());
  const auto resultado = instalacao_.Executa();
  EXPECT_EQ(resultado.erros, kM3);
  EXPECT_TRUE(instalacao_.AplicativoIniciado());
  EXPECT_EQ(instalacao_.InicioDoAplicativo(), 1);
  EXPECT_FALSE(ControleEscrito());
  EXPECT_EQ(instalacao_.LinhasRegistro().back(), kFim);
}

TEST_F(TarvikExeTest, FailedUpdaterCheckShowsM3AndMakesNoApplicationCheck) {
  teste::ServidorAtualizacao servidor;
  auto verifica = [&](const Resposta& resposta, const std::string& linha) {
    fs::remove(instalacao_.Em("registro.log"));
    servidor.RespostaAtualizador(resposta);
    instalacao_.ConfiguracaoServidor(servidor.UrlVerificacao());
    const auto resultado = instalacao_.Executa();
    EXPECT_EQ(resultado.erros, kM3);
    const Linhas linhas = instalacao_.LinhasRegistro();
    ASSERT_GE(linhas.size(), 2u);
    EXPECT_TRUE(linhas[linhas.size() - 2].starts_with(linha)) << linhas[linhas.size() - 2];
    EXPECT_EQ(linhas.back(), kFim);
  };
  verifica({500, "falha"},
           "<data> - INFO - Erro na recepção. Código HTTP: [500], mensagem [Internal Server Error]");
  verifica({200, "lixo=1\r\n"},
           "<data> - ERRO - Erro ao interpretar a resposta do servidor. Erro: [");
  // A server that is not there at all.
  fs::remove(instalacao_.Em("registro.log"));
  instalacao_.ConfiguracaoServidor("http://127.0.0.1:" + std::to_string(teste::PortaFechada()) +
                                   "/tarvik/VerificaAtualizacao.aspx");
  EXPECT_EQ(instalacao_.Executa().erros, kM3);
  EXPECT_EQ(LinhasCom("ERRO - Erro ao baixar o arquivo").size(), 1u);
  for (const auto& pedido : servidor.Pedidos()) EXPECT_TRUE(pedido.ends_with("&atualizador=on"));
  EXPECT_TRUE(instalacao_.AplicativoIniciado());
}

TEST_F(TarvikExeTest, ApplicationUpdateIsAppliedAndReported) {
  teste::ServidorAtualizacao servidor;
  const std::string novo = "#!/bin/sh\necho \"nova versão $*\" >> \"$(dirname \"$0\")/aplicativo.txt\"\n";
  servidor.RespostaAplicativo(
      {200, Descritor("2.31", false,
                      {{"SubstituirArquivo", servidor.Arquivo("pelirana.exe", novo), "$base$\\", novo, false},
                       {"CriarPasta", "relatorios", "$base$\\", "", false}})});
  instalacao_.ConfiguracaoServidor(servidor.UrlVerificacao());
  const auto resultado = instalacao_.Executa();
  EXPECT_EQ(resultado.erros, "");
  EXPECT_EQ(teste::LeArquivo(instalacao_.Em("pelirana.exe")), novo);
  EXPECT_TRUE(fs::is_directory(instalacao_.Em("relatorios")));
  EXPECT_EQ(LinhasCom("Sucesso na"), Linhas{"<data> - INFO - Sucesso na atualização do TARVIK"});
  const Linhas pedidos = servidor.Pedidos();
  ASSERT_EQ(pedidos.size(), 4u);
  EXPECT_EQ(pedidos[2], "/arquivos/pelirana.exe");
  EXPECT_TRUE(std::regex_match(
      pedidos[3], std::regex(R"(/tarvik/VerificaAtualizacao\.aspx\?operacao=resultado&chave=ID-E2E&data=\d{14}&resultado=SucessoInstalacao&versao_original=2\.30&versao_atualizada=2\.31&conta=0123-4&cnpj=11222333000181)")))
      << pedidos[3];
  EXPECT_TRUE(ControleEscrito());
  EXPECT_TRUE(instalacao_.AplicativoIniciado());
}

TEST_F(TarvikExeTest, ApplicationFileInUseUndoesStartsTheApplicationThenShowsM2) {
  teste::ServidorAtualizacao servidor;
  const std::string antigo = teste::LeArquivo(instalacao_.Em("pelirana.exe"));
  const std::string novo = "#!/bin/sh\n";
  servidor.RespostaAplicativo(
      {200, Descritor("2.31", false,
                      {{"SubstituirArquivo", servidor.Arquivo("pelirana.exe", novo), "$base$\\", novo, false}})});
  instalacao_.ConfiguracaoServidor(servidor.UrlVerificacao());
  {
    teste::ArquivoEmUso emUso(instalacao_.Em("pelirana.exe"));
    const auto resultado = instalacao_.Executa();
    EXPECT_EQ(resultado.erros, kM2);
  }
  EXPECT_EQ(teste::LeArquivo(instalacao_.Em("pelirana.exe")), antigo);
  EXPECT_EQ(LinhasCom("Falhando"),
            Linhas{"<data> - AVISO - Arquivo em uso sem possibilidade de atualizar. Falhando"});
  EXPECT_NE(servidor.Pedidos().back().find("&resultado=FalhaArquivosEmUso&"), std::string::npos);
  EXPECT_FALSE(ControleEscrito());
  EXPECT_TRUE(instalacao_.AplicativoIniciado());
}

TEST_F(TarvikExeTest, SelfUpdateReplacesTheRunningUpdaterThroughTheBatchAndRestarts) {
  teste::ServidorAtualizacao servidor;
  const std::string binario = teste::LeArquivo(instalacao_.Em("Tarvik.exe"));
  servidor.RespostaAtualizador(
      {200, Descritor("4.01", true,
                      {{"SubstituirArquivo", servidor.Arquivo("Tarvik.exe", binario), "$base$\\",
                        binario, true}})});
  instalacao_.ConfiguracaoServidor(servidor.UrlVerificacao());
  // The running updater cannot replace its own executable, as on Windows.
  const auto resultado = instalacao_.Executa();
  EXPECT_EQ(resultado.status, 0);
  EXPECT_EQ(resultado.erros, kM1);

  // The batch waits for that process, copies, restarts the updater with the
  // version that did the update, and deletes itself.
  ASSERT_TRUE(instalacao_.AguardaLinha(kFim, 2));
  for (int i = 0; i < 500 && fs::exists(instalacao_.Em("atualiza.bat")); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_FALSE(fs::exists(instalacao_.Em("atualiza.bat")));
  EXPECT_EQ(LinhasCom("Saindo com lista"),
            Linhas{"<data> - AVISO - Saindo com lista de arquivos em uso para reiniciar"});
  EXPECT_EQ(LinhasCom("Versão reinicio"),
            (Linhas{"<data> - INFO - Versão reinicio: [] atual [4.00]",
                    "<data> - INFO - Versão reinicio: [4.00] atual [4.00]"}));
  EXPECT_EQ(LinhasCom("reinício é igual").size(), 1u);
  const Linhas pedidos = servidor.Pedidos();
  ASSERT_EQ(pedidos.size(), 4u);
  EXPECT_EQ(pedidos[0], Verificacao("?versaoAplicativo=4.00&atualizador=on"));
  EXPECT_EQ(pedidos[1], "/arquivos/Tarvik.exe");
  EXPECT_NE(pedidos[2].find("&resultado=ArquivosEmUsoReiniciar&versao_original=4.00&versao_atualizada=4.01&"),
            std::string::npos);
  EXPECT_EQ(pedidos[3], Verificacao("?versaoAplicativo=2.30"));
  EXPECT_EQ(teste::LeArquivo(instalacao_.Em("Tarvik.exe")), binario);
  EXPECT_TRUE(ControleEscrito());
  EXPECT_TRUE(instalacao_.AplicativoIniciado());
  EXPECT_EQ(instalacao_.InicioDoAplicativo(), 1);
}

TEST_F(TarvikExeTest, MissingApplicationGivesTheNotice) {
  teste::EscreveArquivo(instalacao_.Em("dados/atualiza.txt"), "");
  fs::remove(instalacao_.Em("pelirana.exe"));
  const auto resultado = instalacao_.Executa();
  EXPECT_EQ(resultado.status, 0);
  EXPECT_EQ(resultado.erros,
            "Atualizador TARVIK - Erro\nNão foi possível encontrar o programa TARVIK\n");
}

TEST_F(TarvikExeTest, UnwritableLogEndsTheRunWithoutTheApplication) {
  fs::create_directory(instalacao_.Em("registro.log"));
  const auto resultado = instalacao_.Executa();
  EXPECT_NE(resultado.status, 0);
  EXPECT_EQ(resultado.erros, "Tarvik.exe: Erro em tempo de execução '75': Erro de acesso a "
                             "caminho/arquivo [" +
                                 instalacao_.Em("registro.log").string() + "]\n");
  EXPECT_FALSE(fs::exists(instalacao_.Em("aplicativo.txt")));
}

class ModoBaseTest : public TarvikExeTest {
 protected:
  ModoBaseTest() { proxy_.Inicia(); }

  // The production address is reached only through a proxy on loopback that
  // refuses the tunnel, so no request leaves the machine.
  teste::ResultadoProcesso Executa() {
    const std::string proxy = proxy_.Url("");
    return instalacao_.Executa({}, {{"https_proxy", proxy}, {"HTTPS_PROXY", proxy},
                                    {"no_proxy", ""}, {"NO_PROXY", ""}});
  }

  void Banco(const std::string& sql) {
    fs::create_directories(instalacao_.Em("Dados"));
    sqlite3* banco = nullptr;
    ASSERT_EQ(sqlite3_open(instalacao_.Em("Dados/pelirana.mdb").c_str(), &banco), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(banco, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(banco);
  }

  teste::ServidorLocal proxy_;
};

TEST_F(ModoBaseTest, NewIdIsCreatedOnceAndTheProductionAddressIsAsked) {
  Banco("CREATE TABLE tbEmpresa (Agencia, conta, dac, cnpjcpf);"
        "INSERT INTO tbEmpresa VALUES ('0123', '4567', '8', '11222333000181');"
        "CREATE TABLE tbSistema (verProd, idInstalacao);"
        "INSERT INTO tbSistema VALUES ('2.30', NULL);");
  const auto primeira = Executa();
  EXPECT_EQ(primeira.erros, kM3);
  const Linhas linhas = instalacao_.LinhasRegistro();
  ASSERT_EQ(linhas.size(), 9u);
  EXPECT_EQ(Linhas(linhas.begin(), linhas.begin() + 7),
            (Linhas{"<data> - INFO - Inicio", kControleAusente,
                    "<data> - INFO - Acessando informação na base",
                    "<data> - INFO - Gerando novo id de instalação",
                    "<data> - INFO - Versão reinicio: [] atual [4.00]",
                    "<data> - INFO - Buscando informação de atualização. Versão atual: 4.00, "
                    "atualizador: True",
                    "<data> - INFO - url em uso: [https://atualizacao.tarvik.com.br/tarvik/"
                    "VerificaAtualizacao.aspx?versaoAplicativo=4.00&atualizador=on]"}));
  EXPECT_TRUE(linhas[7].starts_with(
      "<data> - ERRO - Erro ao baixar o arquivo [https://atualizacao.tarvik.com.br/tarvik/"
      "VerificaAtualizacao.aspx] Erro: ["))
      << linhas[7];
  EXPECT_EQ(proxy_.Pedidos().size(), 1u);
  EXPECT_TRUE(instalacao_.AplicativoIniciado());

  fs::remove(instalacao_.Em("registro.log"));
  Executa();
  EXPECT_TRUE(LinhasCom("Gerando").empty());
  EXPECT_EQ(LinhasCom("Acessando").size(), 1u);
}

TEST_F(ModoBaseTest, MissingDatabaseStartsTheApplicationAndAsksNoServer) {
  const auto resultado = Executa();
  EXPECT_EQ(resultado.erros, "");
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            (Linhas{"<data> - INFO - Inicio", kControleAusente,
                    "<data> - INFO - Acessando informação na base",
                    "<data> - ERRO - Erro abrindo a base"}));
  EXPECT_TRUE(proxy_.Pedidos().empty());
  EXPECT_TRUE(instalacao_.AplicativoIniciado());
}

}  // namespace
}  // namespace tarvik
