// Kills the real updater at every step of an update that changes a file or
// a folder, then runs it again without and with the server, and checks that
// the installation always holds exactly one release and that the old
// release survives. POSIX only: strace stops the process at the chosen
// system call without any help from the code.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "e2e/instalacao_e2e.h"
#include "e2e/servidor_atualizacao.h"
#include "support/arvore_arquivos.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

// The system calls that change the disk, each set counted on its own.
const char* const kChamadas[] = {"rename,renameat,renameat2", "unlink,unlinkat", "mkdir,mkdirat",
                                 "rmdir", "write"};

// Release 2.31 replaces app.dll, brings novo.dll and removes velho.dll.
struct Arquivo {
  const char* nome;
  const char* em230;  // null: not in the release
  const char* em231;
};
constexpr Arquivo kArquivos[] = {{"app.dll", "app 2.30", "app 2.31"},
                                 {"novo.dll", nullptr, "novo 2.31"},
                                 {"velho.dll", "velho 2.30", nullptr}};

class InterrupcaoTest : public ::testing::Test {
 protected:
  InterrupcaoTest() {
    servidor_.Responde(
        false,
        {200, teste::Descritor("2.31", false,
                               {{"SubstituirArquivo", servidor_.Arquivo("app.dll", "app 2.31"),
                                 "$base$\\", "app 2.31"},
                                {"CopiarNovoArquivo", servidor_.Arquivo("novo.dll", "novo 2.31"),
                                 "$base$\\", "novo 2.31"},
                                {"RemoverArquivo", "http://s/2.30/velho.dll", "$base$\\", ""}})});
  }

  // A fresh installation of 2.30.
  static std::unique_ptr<teste::InstalacaoE2E> Nova() {
    auto instalacao = std::make_unique<teste::InstalacaoE2E>();
    for (const Arquivo& arquivo : kArquivos) {
      if (arquivo.em230) teste::EscreveArquivo(instalacao->Em(arquivo.nome), arquivo.em230);
    }
    return instalacao;
  }

  // "2.30" or "2.31" when the installation holds exactly that release, the
  // files otherwise; "+ sobras" when working files were left behind.
  static std::string Release(const teste::InstalacaoE2E& instalacao) {
    std::string releases[2];
    for (const Arquivo& arquivo : kArquivos) {
      const fs::path caminho = instalacao.Em(arquivo.nome);
      const std::string conteudo = fs::exists(caminho) ? teste::LeArquivo(caminho) : "-";
      releases[0] += conteudo == (arquivo.em230 ? arquivo.em230 : "-") ? "" : "x";
      releases[1] += conteudo == (arquivo.em231 ? arquivo.em231 : "-") ? "" : "x";
    }
    std::string release = releases[0].empty() ? "2.30" : releases[1].empty() ? "2.31" : "mistura";
    for (const auto& [relativo, conteudo] : teste::ArvoreArquivos(instalacao.Pasta())) {
      if (relativo.find(".tarvik-") != std::string::npos ||
          relativo.find(".parcial-") != std::string::npos || relativo == "atualizador.diario") {
        release += " + sobra " + relativo;
      }
    }
    return release;
  }

  // Whether every file of 2.30 is still installed or in its versioned backup.
  static bool AntigaPreservada(const teste::InstalacaoE2E& instalacao) {
    int indice = 0;
    for (const Arquivo& arquivo : kArquivos) {
      ++indice;
      if (!arquivo.em230) continue;
      const fs::path instalado = instalacao.Em(arquivo.nome);
      const fs::path copia =
          instalacao.Em("backup/" + std::string(arquivo.nome) + "-2.30-" + std::to_string(indice));
      if ((!fs::exists(instalado) || teste::LeArquivo(instalado) != arquivo.em230) &&
          (!fs::exists(copia) || teste::LeArquivo(copia) != arquivo.em230)) {
        return false;
      }
    }
    return true;
  }

  teste::ServidorAtualizacao servidor_;
};

TEST_F(InterrupcaoTest, EveryStepCutShortLeavesOneReleaseAndTheOldOneSafe) {
#ifdef __SANITIZE_ADDRESS__
  // About 150 runs of an instrumented updater under strace take minutes;
  // the release build runs this, and the repair's code runs instrumented in
  // its own tests.
  GTEST_SKIP() << "only in the release build";
#endif
  int cortes = 0;
  for (const char* chamadas : kChamadas) {
    for (int vez = 1;; ++vez) {
      const auto instalacao = Nova();
      instalacao->ConfiguracaoServidor(servidor_.UrlVerificacao());
      const auto cortada = teste::Executa(
          "/usr/bin/strace",
          {"-qq", "-o", "/dev/null", std::string("-etrace=") + chamadas,
           std::string("-einject=") + chamadas + ":signal=KILL:when=" + std::to_string(vez),
           teste::Utf8(instalacao->Em("Tarvik.exe"))},
          instalacao->Pasta(), {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
      ASSERT_NE(cortada.erros.find("strace:"), 0u) << cortada.erros;
      if (cortada.status != -1) {
        EXPECT_EQ(Release(*instalacao), "2.31") << chamadas << " " << vez;
        break;
      }
      ++cortes;
      const std::string onde = std::string(chamadas) + " #" + std::to_string(vez);
      const std::string depoisDoCorte = Release(*instalacao).substr(0, 4);
      // Without the server: the interrupted update is undone, unless it was
      // already complete.
      instalacao->ConfiguracaoServidor("http://127.0.0.1:9/tarvik/VerificaAtualizacao.aspx");
      instalacao->Executa();
      const std::string offline = Release(*instalacao);
      EXPECT_TRUE(offline == "2.30" || (offline == "2.31" && depoisDoCorte == "2.31"))
          << onde << ": " << offline;
      EXPECT_TRUE(AntigaPreservada(*instalacao)) << onde;
      // With the server: the update is applied (or was, before the cut).
      instalacao->ConfiguracaoServidor(servidor_.UrlVerificacao());
      fs::remove(instalacao->Em("dados/atualiza.txt"));
      instalacao->Executa();
      EXPECT_EQ(Release(*instalacao), "2.31") << onde;
      EXPECT_TRUE(AntigaPreservada(*instalacao)) << onde;
    }
  }
  EXPECT_GT(cortes, 20);
}

}  // namespace
}  // namespace tarvik
