// The restart batch's runner, on batches in a folder that stands for the
// installation, with a program there that records its restart.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/arvore_arquivos.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"

extern char** environ;

namespace tarvik::teste {
namespace {

namespace fs = std::filesystem;

// Whether `processo` holds a process descriptor: it is then waiting.
bool AguardaProcesso(pid_t processo) {
  std::error_code erro;
  for (const auto& entrada :
       fs::directory_iterator("/proc/" + std::to_string(processo) + "/fd", erro)) {
    if (fs::read_symlink(entrada.path(), erro).string() == "anon_inode:[pidfd]") return true;
  }
  return false;
}

class ExecutaLoteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Another letter case than the batch's: the lookup ignores it.
    EscreveArquivo(Em("TARVIK.EXE"),
                   "#!/bin/sh\nd=$(dirname \"$0\")\necho \"$@\" > \"$d/r.tmp\" && mv \"$d/r.tmp\" "
                   "\"$d/reiniciado\"\n");
    fs::permissions(Em("TARVIK.EXE"), fs::perms::owner_all);
  }

  std::string Em(const std::string& relativo) const { return pasta_.Em(relativo); }
  // A file of the folder as the updater names it.
  std::string Win(const std::string& nome) const { return pasta_.Texto() + "\\" + nome; }
  std::string Espera(pid_t processo) const {
    return "rundll32 \"" + Win("atualiza.dll") + "\",_fnAguarda@16 " + std::to_string(processo) +
           "\r\n";
  }
  // The restart and the batch's removal of itself.
  std::string Fim() const {
    return "start tarvik.exe 4.00\r\ndel /f \"" + Win("atualiza.bat") + "\"\r\n";
  }

  PastaTemporaria pasta_;
};

// A process stands for the updater until the test ends it; the new file and
// the file to delete appear only then, so a runner that did not wait would
// find neither. A process that has already ended is not waited for, and a
// failing line is reported while the batch goes on.
TEST_F(ExecutaLoteTest, WaitsForTheUpdaterThenRunsEveryLineReportingTheFailingOnes) {
  const pid_t terminado = ::fork();
  if (terminado == 0) ::_exit(0);
  ::waitpid(terminado, nullptr, 0);
  std::string programa = (PastaBinarios() / "executa-lote").string(), lote = Em("atualiza.bat");
  char sleep[] = "sleep", segundos[] = "60";
  char* argumentos[] = {sleep, segundos, nullptr};
  pid_t atualizador = 0, executor = 0;
  ASSERT_EQ(::posix_spawnp(&atualizador, "sleep", nullptr, nullptr, argumentos, environ), 0);
  EscreveArquivo(Em("app.exe"), "velho");
  EscreveArquivo(Em("somente-leitura.dll"), "x");
  fs::permissions(Em("somente-leitura.dll"), fs::perms::owner_read);
  const std::string falha = "copy /y \"" + Win("nada\\falta.exe") + "\" \"" + Win("app.exe") + "\"";
  EscreveArquivo(lote, Espera(terminado) + Espera(atualizador) + "copy /y \"" +
                           Win("temp\\app.exe-2-1") + "\" \"" + Win("app.exe") + "\"\r\n" + falha +
                           "\r\ndel /f \"" + Win("velho.dll") + "\"\r\nDEL /F \"" +
                           Win("somente-leitura.dll") + "\"\r\n" + Fim());
  posix_spawn_file_actions_t erros;
  posix_spawn_file_actions_init(&erros);
  posix_spawn_file_actions_addopen(&erros, 2, Em("erros").c_str(), O_WRONLY | O_CREAT, 0644);
  char* argv[] = {programa.data(), lote.data(), nullptr};
  ASSERT_EQ(::posix_spawn(&executor, programa.c_str(), &erros, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&erros);
  for (int i = 0; i < 500 && !AguardaProcesso(executor); ++i) {
    ASSERT_NE(::waitpid(executor, nullptr, WNOHANG), executor) << "terminou antes do atualizador";
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EscreveArquivo(Em("temp/app.exe-2-1"), "novo");
  EscreveArquivo(Em("velho.dll"), "velho");
  ::kill(atualizador, SIGKILL);
  int status = 0;
  ::waitpid(atualizador, nullptr, 0);
  ::waitpid(executor, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  ASSERT_TRUE(Aguarda([&] { return fs::exists(Em("reiniciado")); }));
  EXPECT_EQ(ArvoreArquivos(pasta_.Caminho()),
            (std::map<std::string, std::string>{
                {"TARVIK.EXE", LeArquivo(Em("TARVIK.EXE"))},
                {"app.exe", "novo"},
                {"erros", "executa-lote: falha em [" + falha + "]: Caminho não encontrado [" +
                              Em("nada/falta.exe") + "] (76)\n"},
                {"reiniciado", "4.00\n"},
                {"temp", kPasta},
                {"temp/app.exe-2-1", "novo"}}));
}

TEST_F(ExecutaLoteTest, RefusesABatchWithALineItDoesNotKnowBeforeRunningAny) {
  EscreveArquivo(Em("a"), "a");
  const std::string copia = "copy /y \"" + Em("a") + "\" \"" + Em("b") + "\"\r\n";
  for (const std::string& linha :
       {"rundll32 \"" + Win("outra.dll") + "\",_fnAguarda@16 12",
        "rundll32 \"" + Win("atualiza.dll") + "\",_fnAguarda@16 -3", std::string("copy /y \"a\""),
        std::string("copy /y \"a\" \"b\" \"c\""), std::string("del /f a"),
        std::string("start outro.exe 4.00"), std::string("del /f \"a\"\nstart tarvik.exe"),
        std::string("echo oi")}) {
    const std::string lote = copia + linha + "\r\n" + Fim();
    EscreveArquivo(Em("atualiza.bat"), lote);
    const auto resultado =
        Executa(PastaBinarios() / "executa-lote", {Em("atualiza.bat")}, pasta_.Caminho());
    EXPECT_EQ(std::to_string(resultado.status) + "|" + resultado.erros,
              "2|executa-lote: linha 2 não reconhecida: [" + linha + "]; nada foi executado\n");
    EXPECT_FALSE(fs::exists(Em("b")));
    EXPECT_EQ(LeArquivo(Em("atualiza.bat")), lote);
  }
}

}  // namespace
}  // namespace tarvik::teste
