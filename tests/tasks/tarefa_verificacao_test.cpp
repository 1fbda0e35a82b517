#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/pasta_temporaria.h"
#include "support/utilitarios_falsos.h"
#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

// sha256 of "abc".
constexpr char kHashAbc[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

using VerificacaoTest = TarefaTeste;

TEST_F(VerificacaoTest, ExistenceChecksLogEveryMissingPath) {
  EscreveArquivo(Em("b"), "");
  for (const int32_t codigo : {3, 4}) {
    Tarefa tarefa = Cria(codigo, {Em("a"), Em("b"), Em("c")});
    EXPECT_EQ(Executa(tarefa), Resultado::kFalhaInstalacao);
  }
  Tarefa presente = Cria(4, {instalacao_.Pasta().Texto()});
  EXPECT_EQ(Executa(presente), Resultado::kSucessoInstalacao);
  const Linhas faltam = {LinhaErro("Caminho não existe: [" + Em("a") + "]"),
                         LinhaErro("Caminho não existe: [" + Em("c") + "]")};
  EXPECT_EQ(Registro(), Junta({Rodada("VerificarExistenciaArquivo", 3, faltam, "FalhaInstalacao"),
                               Rodada("VerificarExistenciaPasta", 3, faltam, "FalhaInstalacao"),
                               Rodada("VerificarExistenciaPasta", 1, {})}));
}

TEST_F(VerificacaoTest, WritePermissionCheckOnMissingFolderRaises) {
  Tarefa tarefa = Cria(6, {Em("falta")});
  EXPECT_EQ(ErroDe([&] { Executa(tarefa); }).Numero(), 76);
}

TEST_F(VerificacaoTest, ValidityRunsAllThreeChecksAndLogsEachMismatch) {
  RespostasFalsas respostas;
  respostas.verificaAssinatura = [](const std::string&) { return Verificacao{-1, false}; };
  FabricaFalsa falsa(respostas);
  EscreveArquivo(Em("a.dll"), "abc");
  const std::string hashMaiusculo =
      "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";
  Tarefa tudo = Cria(7, {Em("a.dll"), hashMaiusculo, "1024", "True"});
  Tarefa certo = Cria(7, {Em("a.dll"), kHashAbc, "3", "False"});
  EXPECT_EQ(Executa(tudo), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Executa(certo), Resultado::kSucessoInstalacao);
  EXPECT_EQ(
      Registro(),
      Junta({Rodada("VerificarValidadeArquivo", 4,
                    {LinhaErro("Tamanho do arquivo [" + Em("a.dll") +
                               "] não confere: Recebido: [3] esperado: [1024]"),
                     LinhaErro("Hash do arquivo [" + Em("a.dll") + "] não confere: Recebido: [" +
                               kHashAbc + "] esperado: [" + hashMaiusculo + "]"),
                     LinhaErro("Assinatura do arquivo [" + Em("a.dll") +
                               "] não confere: Detalhe: [-1/FFFFFFFF]")},
                    "FalhaInstalacao"),
             Rodada("VerificarValidadeArquivo", 4, {})}));
}

TEST_F(VerificacaoTest, SignatureDetailIsWrittenInDecimalAndHexadecimal) {
  const std::pair<int32_t, std::string> casos[] = {{255, "255/FF"}, {0, "0/0"}};
  EscreveArquivo(Em("a.dll"), "abc");
  for (const auto& [codigo, texto] : casos) {
    RespostasFalsas respostas;
    respostas.verificaAssinatura = [codigo](const std::string&) {
      return Verificacao{codigo, false};
    };
    FabricaFalsa falsa(respostas);
    Tarefa tarefa = Cria(7, {Em("a.dll"), kHashAbc, "3", "1"});
    EXPECT_EQ(Executa(tarefa), Resultado::kFalhaInstalacao);
    EXPECT_EQ(Registro().rbegin()[1], LinhaErro("Assinatura do arquivo [" + Em("a.dll") +
                                                "] não confere: Detalhe: [" + texto + "]"));
  }
}

TEST_F(VerificacaoTest, ValidityOfAMissingFileOrUnreadableDetailRaises) {
  EscreveArquivo(Em("a.dll"), "abc");
  std::pair<Tarefa, int32_t> casos[] = {
      {Cria(7, {Em("falta.dll"), kHashAbc, "3", "False"}), 53},
      {Cria(7, {Em("a.dll"), kHashAbc, "três", "False"}), 13},
      {Cria(7, {Em("a.dll"), kHashAbc, "99999999999", "False"}), 6},
      {Cria(7, {Em("a.dll"), kHashAbc, "3", "talvez"}), 13},
  };
  for (auto& [tarefa, numero] : casos) EXPECT_EQ(ErroDe([&] { Executa(tarefa); }).Numero(), numero);
}

TEST_F(VerificacaoTest, ChangedOrMissingInstalledFileOnlyWarns) {
  RespostasFalsas respostas;
  respostas.verificaAssinatura = [](const std::string&) { return Verificacao{-2146869232, false}; };
  FabricaFalsa falsa(respostas);
  EscreveArquivo(Em("app.exe"), "abc");
  Tarefa mudado = Cria(16, {Em("app.exe"), "outro", "4", "True", "http://s/app.exe"});
  Tarefa ausente = Cria(16, {Em("falta.exe"), kHashAbc, "3", "True", "http://s/falta.exe"});
  EXPECT_EQ(Executa(mudado), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Executa(ausente), Resultado::kSucessoInstalacao);
  EXPECT_EQ(
      Registro(),
      Junta({Rodada("VerificarArquivoOriginal", 5,
                    {LinhaAviso("Tamanho do arquivo [" + Em("app.exe") +
                                "] não confere: Recebido: [3] esperado: [4]"),
                     LinhaAviso("Hash do arquivo [" + Em("app.exe") + "] não confere: Recebido: [" +
                                kHashAbc + "] esperado: [outro]"),
                     LinhaAviso("Assinatura do arquivo [" + Em("app.exe") +
                                "] não confere: Detalhe: [-2146869232/80096010]")}),
             Rodada("VerificarArquivoOriginal", 5,
                    {LinhaAviso("Arquivo deveria existir [" + Em("falta.exe") + "]")})}));
}

}  // namespace
}  // namespace tarvik::teste
