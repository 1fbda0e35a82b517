#include "log/registro.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/instalacao_teste.h"
#include "support/processo.h"

namespace tarvik {
namespace {

class RegistroTest : public ::testing::Test {
 protected:
  std::string Log() const { return instalacao_.Pasta().Em("registro.log"); }

  teste::InstalacaoTeste instalacao_{{2026, 12, 7, 8, 15, 0}};
};

// At midnight the moment shows only the date; the message goes as it is.
TEST_F(RegistroTest, LinesCarryDateCategoryAndMessage) {
  RegistraLog("Inicio", kInfo);
  instalacao_.Relogio().Set({2026, 12, 8, 0, 0, 0});
  RegistraLog("Versão reinicio: [] atual [4.00]", kAviso);
  RegistraLog("duas\r\nlinhas", kErro);
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            (std::vector<std::string>{"07/12/2026 08:15:00 - INFO - Inicio",
                                      "08/12/2026 - AVISO - Versão reinicio: [] atual [4.00]",
                                      "08/12/2026 - ERRO - duas", "linhas"}));
}

// Only the first run of a Monday starts a new log: one written on another
// date (day, month and year compared) is deleted.
TEST_F(RegistroTest, FirstRunOnMondayStartsANewLog) {
  const std::tuple<DataHora, DataHora, bool> casos[] = {
      {{2026, 12, 7, 8, 15, 0}, {2026, 12, 4, 17, 0, 0}, false},
      {{2026, 12, 7, 8, 15, 0}, {2026, 11, 7, 8, 0, 0}, false},
      {{2026, 12, 7, 8, 15, 0}, {2025, 12, 7, 8, 0, 0}, false},
      {{2026, 12, 7, 8, 15, 0}, {2026, 12, 7, 0, 0, 1}, true},
      {{2026, 12, 8, 9, 0, 5}, {2026, 11, 2, 8, 0, 0}, true}};
  for (const auto& [agora, escrito, mantido] : casos) {
    instalacao_.Relogio().Set(agora);
    teste::EscreveArquivo(Log(), "antigo\r\n");
    teste::DefineDataModificacao(Log(), escrito);
    RenovaRegistro();
    EXPECT_EQ(std::filesystem::exists(Log()), mantido) << escrito.mes << "/" << escrito.dia;
  }
#ifndef _WIN32
  // The log is the updater's own: one that a viewer holds open goes too.
  // POSIX only: Windows refuses to delete a file held open.
  instalacao_.Relogio().Set({2026, 12, 7, 8, 15, 0});
  teste::EscreveArquivo(Log(), "antigo\r\n");
  teste::DefineDataModificacao(Log(), {2026, 11, 30, 8, 0, 0});
  {
    const teste::ArquivoEmUso visualizador(Log());
    RenovaRegistro();
  }
  EXPECT_FALSE(std::filesystem::exists(Log()));
#endif
  // A log that cannot be deleted is left alone.
  std::filesystem::remove(Log());
  std::filesystem::create_directory(Log());
  teste::DefineDataModificacao(Log(), {2026, 11, 30, 8, 0, 0});
  instalacao_.Relogio().Set({2026, 12, 7, 8, 15, 0});
  EXPECT_NO_THROW(RenovaRegistro());
}

}  // namespace
}  // namespace tarvik
