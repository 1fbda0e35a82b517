// Runs the built Tarvik.exe as a process in a temporary installation.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "e2e/instalacao_e2e.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using Linhas = std::vector<std::string>;

class TarvikExeTest : public ::testing::Test {
 protected:
  teste::InstalacaoE2E instalacao_;
};

TEST_F(TarvikExeTest, FirstRunWithoutControlFileGoesOnToTheCheck) {
  const auto resultado = instalacao_.Executa();
  EXPECT_EQ(resultado.status, 0) << resultado.erros;
  EXPECT_EQ(resultado.erros, "");
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            (Linhas{"<data> - INFO - Inicio",
                    "<data> - AVISO - Arquivo de controle de atualização não existe. Irá forçar a "
                    "execução do atualizador",
                    "<data> - INFO - Versão reinicio: [] atual [4.00]",
                    "<data> - INFO - Fim (processo executado)"}));
  EXPECT_TRUE(instalacao_.AplicativoIniciado());
  EXPECT_EQ(teste::LeArquivo(instalacao_.Em("aplicativo.txt")), "iniciado \n");
}

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

TEST_F(TarvikExeTest, RestartArgumentIsLoggedAndComparedWhole) {
  struct Caso {
    std::vector<std::string> argumentos;
    Linhas linhas;
  };
  const Caso casos[] = {
      {{"4.00"},
       {"<data> - INFO - Versão reinicio: [4.00] atual [4.00]",
        "<data> - AVISO - A versão de reinício é igual a atual. Isto pode indicar falha no "
        "processo de atualização do atualizador"}},
      {{"4.0"}, {"<data> - INFO - Versão reinicio: [4.0] atual [4.00]"}},
      {{"4.00", "x"}, {"<data> - INFO - Versão reinicio: [4.00 x] atual [4.00]"}},
  };
  for (const Caso& caso : casos) {
    fs::remove(instalacao_.Em("registro.log"));
    instalacao_.Executa(caso.argumentos);
    Linhas esperadas = {"<data> - INFO - Inicio",
                        "<data> - AVISO - Arquivo de controle de atualização não existe. Irá "
                        "forçar a execução do atualizador"};
    esperadas.insert(esperadas.end(), caso.linhas.begin(), caso.linhas.end());
    esperadas.push_back("<data> - INFO - Fim (processo executado)");
    EXPECT_EQ(instalacao_.LinhasRegistro(), esperadas);
  }
}

TEST_F(TarvikExeTest, MissingApplicationGivesTheNotice) {
  fs::remove(instalacao_.Em("pelirana.exe"));
  const auto resultado = instalacao_.Executa();
  EXPECT_EQ(resultado.status, 0);
  EXPECT_EQ(resultado.erros,
            "Atualizador TARVIK - Erro\nNão foi possível encontrar o programa TARVIK\n");
  EXPECT_EQ(instalacao_.LinhasRegistro().back(), "<data> - INFO - Fim (processo executado)");
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

}  // namespace
}  // namespace tarvik
