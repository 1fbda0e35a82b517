#include "server/lote_reinicio.h"

#include <fcntl.h>
#include <gtest/gtest.h>
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

std::shared_ptr<ItemEmUso> Item(int32_t acao, const std::string& origem,
                                const std::string& destino) {
  auto item = std::make_shared<ItemEmUso>();
  item->Acao(acao);
  item->Origem(origem);
  item->Destino(destino);
  return item;
}

class LoteReinicioTest : public ::testing::Test {
 protected:
  std::string Base() const { return pasta_.Texto(); }
  std::string Em(const std::string& relativo) const { return pasta_.Em(relativo); }

  PastaTemporaria pasta_;
};

TEST_F(LoteReinicioTest, WritesEveryLineInTheCodePageReplacingALeftOver) {
  EscreveArquivo(Em("atualiza.bat"), std::string(500, 'x'));
  ListaItensEmUso itens;
  itens.Adiciona(Item(0, "C:\\Meus Programas\\temp\\ação.exe-2-1", "C:\\Meus Programas\\ação.exe"));
  itens.Adiciona(Item(7, "C:\\ignorado", "C:\\ignorado"));
  itens.Adiciona(Item(1, "C:\\Meus Programas\\velho \"x\".dll", ""));
  EscreveLoteReinicio(Base(), "4.00", itens);
  const std::string pid = std::to_string(::getpid());
  EXPECT_EQ(LeArquivo(Em("atualiza.bat")),
            "rundll32 \"" + Base() + "\\atualiza.dll\",_fnAguarda@16 " + pid +
                "\r\n"
                "copy /y \"C:\\Meus Programas\\temp\\a\xE7\xE3o.exe-2-1\" \"C:\\Meus "
                "Programas\\a\xE7\xE3o.exe\"\r\n"
                "del /f \"C:\\Meus Programas\\velho \"x\".dll\"\r\n"
                "start tarvik.exe 4.00\r\n"
                "del /f \"" +
                Base() + "\\atualiza.bat\"\r\n");
}

// The batch runner, run on batches in a folder that stands for the
// installation, with a program that records its restart.
class ExecutaLoteTest : public LoteReinicioTest {
 protected:
  void SetUp() override {
    // Another letter case than the batch's: the lookup ignores it.
    EscreveArquivo(Em("TARVIK.EXE"),
                   "#!/bin/sh\nd=$(dirname \"$0\")\necho \"$@\" > \"$d/r.tmp\" && mv \"$d/r.tmp\" "
                   "\"$d/reiniciado\"\n");
    std::filesystem::permissions(Em("TARVIK.EXE"), std::filesystem::perms::owner_all);
  }

  ResultadoProcesso ExecutaLote(const std::string& lote) {
    EscreveArquivo(Em("atualiza.bat"), lote);
    return Executa(PastaBinarios() / "executa-lote", {Em("atualiza.bat")}, pasta_.Caminho());
  }

  std::string Espera(pid_t processo) const {
    return "rundll32 \"" + Base() + "\\atualiza.dll\",_fnAguarda@16 " + std::to_string(processo) +
           "\r\n";
  }
  std::string AutoRemocao() const { return "del /f \"" + Base() + "\\atualiza.bat\"\r\n"; }
};

// Whether `processo` holds a process descriptor: it is then waiting.
bool AguardaProcesso(pid_t processo) {
  const auto pasta = "/proc/" + std::to_string(processo) + "/fd";
  std::error_code erro;
  for (const auto& entrada : std::filesystem::directory_iterator(pasta, erro)) {
    if (std::filesystem::read_symlink(entrada.path(), erro).string() == "anon_inode:[pidfd]")
      return true;
  }
  return false;
}

TEST_F(ExecutaLoteTest, WaitsForTheUpdaterThenCopiesDeletesRestartsAndRemovesItself) {
  EscreveArquivo(Em("app.exe"), "velho");
  // The stand-in for the updater writes the batch with its own process id,
  // and makes the new file and the file to delete only as it ends: a runner
  // that did not wait would find neither.
  int escrito[2], libera[2];
  // Close-on-exec, so that the runner holds no end of them.
  ASSERT_EQ(::pipe2(escrito, O_CLOEXEC), 0);
  ASSERT_EQ(::pipe2(libera, O_CLOEXEC), 0);
  const pid_t atualizador = ::fork();
  if (atualizador == 0) {
    ::close(escrito[0]);
    ::close(libera[1]);
    ListaItensEmUso itens;
    itens.Adiciona(Item(0, Base() + "\\temp\\app.exe-2-1", Base() + "\\app.exe"));
    itens.Adiciona(Item(1, Base() + "\\velho.dll", ""));
    EscreveLoteReinicio(Base(), "4.00", itens);
    char c = '1';
    (void)!::write(escrito[1], &c, 1);
    (void)!::read(libera[0], &c, 1);
    EscreveArquivo(Em("temp/app.exe-2-1"), "novo");
    EscreveArquivo(Em("velho.dll"), "velho");
    ::_exit(0);
  }
  ::close(escrito[1]);
  ::close(libera[0]);
  char c = 0;
  ASSERT_EQ(::read(escrito[0], &c, 1), 1);
  ::close(escrito[0]);

  const std::string programa = (PastaBinarios() / "executa-lote").string();
  const std::string lote = Em("atualiza.bat");
  char* argv[] = {const_cast<char*>(programa.c_str()), const_cast<char*>(lote.c_str()), nullptr};
  pid_t executor = 0;
  ASSERT_EQ(::posix_spawn(&executor, programa.c_str(), nullptr, nullptr, argv, environ), 0);
  // Until the runner waits (or, wrongly, has already ended).
  for (int i = 0; i < 500 && !AguardaProcesso(executor); ++i) {
    if (::waitpid(executor, nullptr, WNOHANG) == executor) {
      executor = 0;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_NE(executor, 0) << "o executor terminou antes do atualizador";
  EXPECT_EQ(LeArquivo(Em("app.exe")), "velho");
  EXPECT_TRUE(std::filesystem::exists(lote));

  ::close(libera[1]);
  int status = 0;
  ::waitpid(atualizador, &status, 0);
  ::waitpid(executor, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_TRUE(AguardaArquivo(Em("reiniciado")));
  EXPECT_EQ(LeArquivo(Em("reiniciado")), "4.00\n");
  EXPECT_EQ(ArvoreArquivos(pasta_.Caminho()),
            (std::map<std::string, std::string>{{"TARVIK.EXE", LeArquivo(Em("TARVIK.EXE"))},
                                                {"app.exe", "novo"},
                                                {"reiniciado", "4.00\n"},
                                                {"temp", kPasta},
                                                {"temp/app.exe-2-1", "novo"}}));
}

TEST_F(ExecutaLoteTest, RefusesABatchWithALineItDoesNotKnow) {
  EscreveArquivo(Em("a"), "a");
  const std::string lote =
      "copy /y \"" + Em("a") + "\" \"" + Em("b") + "\"\r\necho oi\r\n" + AutoRemocao();
  const auto resultado = ExecutaLote(lote);
  EXPECT_EQ(resultado.status, 2);
  EXPECT_EQ(resultado.erros,
            "executa-lote: linha 2 não reconhecida: [echo oi]; nada foi executado\n");
  EXPECT_FALSE(std::filesystem::exists(Em("b")));
  EXPECT_EQ(LeArquivo(Em("atualiza.bat")), lote);
}

TEST_F(ExecutaLoteTest, RefusesMalformedForms) {
  const std::string casos[] = {
      "rundll32 \"" + Base() + "\\outra.dll\",_fnAguarda@16 12\r\n",
      "rundll32 \"" + Base() + "\\atualiza.dll\",_fnAguarda@16 -3\r\n",
      "copy /y \"a\"\r\n",
      "copy /y \"a\" \"b\" \"c\"\r\n",
      "del /f a\r\n",
      "start outro.exe 4.00\r\n",
      "del /f \"a\"\nstart tarvik.exe\r\n",
  };
  for (const auto& lote : casos) {
    const auto resultado = ExecutaLote(lote);
    EXPECT_EQ(resultado.status, 2) << lote;
    EXPECT_TRUE(resultado.erros.starts_with("executa-lote: linha 1 não reconhecida: ["))
        << resultado.erros;
  }
}

TEST_F(ExecutaLoteTest, FailingLinesAreReportedAndTheBatchGoesOn) {
  // A process that has already ended: the wait returns at once.
  const pid_t terminado = ::fork();
  if (terminado == 0) ::_exit(0);
  ::waitpid(terminado, nullptr, 0);
  EscreveArquivo(Em("somente-leitura.dll"), "x");
  std::filesystem::permissions(Em("somente-leitura.dll"), std::filesystem::perms::owner_read);
  const std::string copia =
      "copy /y \"" + Base() + "\\temp\\falta.exe\" \"" + Base() + "\\app.exe\"";
  const auto resultado =
      ExecutaLote(Espera(terminado) + copia + "\r\nDEL /F \"" + Base() +
                  "\\somente-leitura.dll\"\r\nstart tarvik.exe 4.00\r\n" + AutoRemocao());
  EXPECT_EQ(resultado.status, 1);
  EXPECT_EQ(resultado.erros, "executa-lote: falha em [" + copia + "]: Caminho não encontrado [" +
                                 Em("temp/falta.exe") + "] (76)\n");
  ASSERT_TRUE(AguardaArquivo(Em("reiniciado")));
  EXPECT_FALSE(std::filesystem::exists(Em("somente-leitura.dll")));
  EXPECT_FALSE(std::filesystem::exists(Em("atualiza.bat")));
}

}  // namespace
}  // namespace tarvik::teste
