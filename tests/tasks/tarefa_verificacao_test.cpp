#include "support/plataforma_teste.h"
#include "support/utilitarios_falsos.h"
#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

// sha256 of "abc".
constexpr char kHashAbc[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

using VerificacaoTest = TarefaTeste;

// Codes 3 and 4 check alike.
TEST_F(VerificacaoTest, ExistenceChecksLogEveryMissingPath) {
  Prepara("b=; ");
  EXPECT_EQ(Executa(CriaEm(3, {"a", "b", "c"})), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Executa(CriaEm(4, {"b", ""})), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Registro(),
            Nativo("\nERRO - Caminho não existe: [@/a]\nERRO - Caminho não existe: [@/c]\n"));
}

// Each folder gets a temporary file written and removed; a missing folder
// raises.
TEST_F(VerificacaoTest, WritePermissionCheckWritesInEachFolder) {
  const std::string base = instalacao_.Pasta().Texto();
  std::filesystem::create_directory(Em("x"));
  EXPECT_EQ(Executa(Cria(6, {base + "\\x\\", base})), Resultado::kSucessoInstalacao);
  EXPECT_EQ(ErroDe([&] { Executa(Cria(6, {Em("falta")})); }),
            "76|CriaArquivoTemporario|Caminho não encontrado [" + Em("falta") + "]");
  EXPECT_EQ(Arquivos(), "x/; ");
  EXPECT_EQ(Registro(), Nativo(R"(
INFO - Tentando criar arquivo temporário... [@\x\, teste, 0]
INFO - Tentando gravar conteúdo no arquivo temporário [@/x/teste??????]
INFO - Tentando remover o arquivo temporário [@/x/teste??????]
INFO - Tentando criar arquivo temporário... [@, teste, 0]
INFO - Tentando gravar conteúdo no arquivo temporário [@/teste??????]
INFO - Tentando remover o arquivo temporário [@/teste??????]
INFO - Tentando criar arquivo temporário... [@/falta, teste, 0]
)"));
}

// A working folder that is a link, even one that leads nowhere yet, fails
// the task that would create or write in it; nothing is written through it.
TEST_F(VerificacaoTest, WorkingFoldersThatAreLinksFailTheirTasks) {
  PastaTemporaria fora;
  if (!CriaLink(fora.Texto(), Em("temp")) || !CriaLink(fora.Em("nada"), Em("backup"))) {
    GTEST_SKIP() << "this system makes no links (Wine 8 only pretends to)";
  }
  EXPECT_EQ(Executa(CriaEm(14, {"temp\\", "backup\\"})), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Executa(CriaEm(6, {"temp\\"})), Resultado::kFalhaInstalacao);
  EXPECT_TRUE(std::filesystem::is_empty(fora.Caminho()));
  EXPECT_EQ(Registro(), Nativo(R"(
ERRO - Pasta é um link para outro lugar e não será usada: [@/backup\]
ERRO - Pasta é um link para outro lugar e não será usada: [@/temp\]
)"));
}

// Size, hash (compared exactly) and signature are all checked and each
// mismatch logged; the signature detail is written in decimal and in
// hexadecimal.
TEST_F(VerificacaoTest, ValidityRunsAllThreeChecksAndLogsEachMismatch) {
  RespostasFalsas respostas;
  // A file's signature is refused with the file's own name as the detail.
  respostas.verificaAssinatura = [](const std::string& arquivo) {
    return Verificacao{std::stoi(std::filesystem::path(arquivo).filename().string()), false};
  };
  FabricaFalsa falsa(respostas);
  Prepara("-1=abc; 255=abc; 0=abc; ");
  const std::string maiusculo = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";
  EXPECT_EQ(Executa(Cria(7, {Em("-1"), maiusculo, "1024", "True"})), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Executa(Cria(7, {Em("-1"), kHashAbc, "3", "False"})), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Executa(Cria(7, {Em("255"), kHashAbc, "3", "1"})), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Executa(Cria(7, {Em("0"), kHashAbc, "3", "1"})), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Registro(), Nativo(R"(
ERRO - Tamanho do arquivo [@/-1] não confere: Recebido: [3] esperado: [1024]
ERRO - Hash do arquivo [@/-1] não confere: Recebido: [ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad] esperado: [BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD]
ERRO - Assinatura do arquivo [@/-1] não confere: Detalhe: [-1/FFFFFFFF]
ERRO - Assinatura do arquivo [@/255] não confere: Detalhe: [255/FF]
ERRO - Assinatura do arquivo [@/0] não confere: Detalhe: [0/0]
)"));
}

TEST_F(VerificacaoTest, ValidityOfAMissingFileOrUnreadableDetailRaises) {
  EscreveArquivo(Em("a.dll"), "abc");
  const std::pair<Tarefa, std::string> casos[] = {
      {Cria(7, {Em("falta.dll"), kHashAbc, "3", "False"}),
       "53|FileLength|Arquivo não encontrado [" + Em("falta.dll") + "]"},
      {Cria(7, {Em("a.dll"), kHashAbc, "três", "False"}),
       "13|Tarefa:Executa|Tipos incompatíveis [três]"},
      {Cria(7, {Em("a.dll"), kHashAbc, "99999999999", "False"}),
       "6|Tarefa:Executa|Estouro [99999999999]"},
      {Cria(7, {Em("a.dll"), kHashAbc, "3", "talvez"}),
       "13|Tarefa:Executa|Tipos incompatíveis [talvez]"}};
  for (const auto& [tarefa, erro] : casos) EXPECT_EQ(ErroDe([&] { Executa(tarefa); }), erro);
}

// An installed file that differs from what the descriptor expects is
// reported with the checks of the downloads, as warnings, not refused.
TEST_F(VerificacaoTest, ChangedOrMissingInstalledFileOnlyWarns) {
  EscreveArquivo(Em("app.exe"), "abc");
  EXPECT_EQ(Executa(Cria(16, {Em("app.exe"), kHashAbc, "4", "False", "http://s/app.exe"})),
            Resultado::kSucessoInstalacao);
  EXPECT_EQ(Executa(Cria(16, {Em("falta.exe"), kHashAbc, "3", "True", "http://s/falta.exe"})),
            Resultado::kSucessoInstalacao);
  EXPECT_EQ(Registro(), Nativo(R"(
AVISO - Tamanho do arquivo [@/app.exe] não confere: Recebido: [3] esperado: [4]
AVISO - Arquivo deveria existir [@/falta.exe]
)"));
}

}  // namespace
}  // namespace tarvik::teste
