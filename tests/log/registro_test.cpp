#include "log/registro.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/erro.h"
#include "support/instalacao_teste.h"

namespace tarvik {
namespace {

using teste::DefineDataModificacao;
using teste::EscreveArquivo;
using Linhas = std::vector<std::string>;

constexpr DataHora kSegunda = {2026, 12, 7, 8, 15, 0};
constexpr DataHora kTerca = {2026, 12, 8, 9, 0, 5};

class RegistroTest : public ::testing::Test {
 protected:
  void LogAntigo(const DataHora& escritoEm) {
    EscreveArquivo(instalacao_.Pasta().Em("registro.log"), "antigo\r\n");
    DefineDataModificacao(instalacao_.Pasta().Em("registro.log"), escritoEm);
  }

  teste::InstalacaoTeste instalacao_{kSegunda};
};

TEST_F(RegistroTest, LinesCarryDateCategoryAndMessage) {
  RegistraLog("Inicio", kInfo);
  instalacao_.Relogio().Set({2026, 12, 8, 0, 0, 0});
  RegistraLog("Versão reinicio: [] atual [4.00]", kAviso);
  RegistraLog("duas\r\nlinhas", kErro);
  EXPECT_EQ(instalacao_.LinhasRegistro(),
            (Linhas{"07/12/2026 08:15:00 - INFO - Inicio",
                    "08/12/2026 - AVISO - Versão reinicio: [] atual [4.00]",
                    "08/12/2026 - ERRO - duas", "linhas"}));
}

TEST_F(RegistroTest, UnwritableLogRaises) {
  std::filesystem::create_directory(instalacao_.Pasta().Em("registro.log"));
  try {
    RegistraLog("Inicio", kInfo);
    FAIL();
  } catch (const Erro& erro) {
    EXPECT_EQ(erro.Numero(), 75);
  }
}

TEST_F(RegistroTest, FirstRunOnMondayStartsANewLog) {
  LogAntigo({2026, 12, 4, 17, 0, 0});  // the Friday before
  RenovaRegistro();
  RegistraLog("Inicio", kInfo);
  DefineDataModificacao(instalacao_.Pasta().Em("registro.log"), kSegunda);
  RenovaRegistro();  // a second run the same Monday keeps it
  RegistraLog("Inicio", kInfo);
  EXPECT_EQ(instalacao_.LinhasRegistro(), (Linhas{"07/12/2026 08:15:00 - INFO - Inicio",
                                                  "07/12/2026 08:15:00 - INFO - Inicio"}));
}

TEST_F(RegistroTest, MondayComparesDayMonthAndYear) {
  for (const DataHora escrito : {DataHora{2026, 11, 7, 8, 0, 0}, DataHora{2025, 12, 7, 8, 0, 0}}) {
    LogAntigo(escrito);
    RenovaRegistro();
    EXPECT_FALSE(std::filesystem::exists(instalacao_.Pasta().Em("registro.log")));
  }
  LogAntigo({2026, 12, 7, 0, 0, 1});
  RenovaRegistro();
  EXPECT_EQ(instalacao_.LinhasRegistro(), Linhas{"antigo"});
}

TEST_F(RegistroTest, OtherDaysKeepTheOldLog) {
  instalacao_.Relogio().Set(kTerca);
  LogAntigo({2026, 11, 2, 8, 0, 0});
  RenovaRegistro();
  RegistraLog("Inicio", kInfo);
  EXPECT_EQ(instalacao_.LinhasRegistro(), (Linhas{"antigo", "08/12/2026 09:00:05 - INFO - Inicio"}));
}

TEST_F(RegistroTest, RotationIgnoresALogItCannotDelete) {
  std::filesystem::create_directory(instalacao_.Pasta().Em("registro.log"));
  DefineDataModificacao(instalacao_.Pasta().Em("registro.log"), {2026, 11, 30, 8, 0, 0});
  EXPECT_NO_THROW(RenovaRegistro());
}

}  // namespace
}  // namespace tarvik
