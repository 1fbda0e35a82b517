#include "server/informacao_sistema.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tarvik {
namespace {

// A system whose records the test gives; an absent record fails its read.
class SistemaDeTeste : public platform::SystemInfoSource {
 public:
  uint16_t arquitetura = 9;
  std::optional<platform::VersionRecord> curta;
  std::optional<platform::VersionRecordEx> estendida;

  uint16_t ProcessorArchitecture() const override { return arquitetura; }
  bool ReadVersion(platform::VersionRecord& record) const override {
    if (curta) record = *curta;
    return curta.has_value();
  }
  bool ReadVersionEx(platform::VersionRecordEx& record) const override {
    if (estendida) record = *estendida;
    return estendida.has_value();
  }
};

platform::VersionRecord Curta(int32_t major, int32_t minor, const std::string& servicePack) {
  platform::VersionRecord registro;
  registro.majorVersion = major;
  registro.minorVersion = minor;
  registro.buildNumber = 7601;
  registro.platformId = 2;
  // The 128-character text of the record, padded with NULs.
  registro.servicePack = servicePack + std::string(128 - servicePack.size(), '\0');
  return registro;
}

TEST(InformacaoSistemaTest, ExtendedForm) {
  SistemaDeTeste sistema;
  sistema.curta = Curta(6, 1, " Service Pack 1 ");
  platform::VersionRecordEx estendida;
  // The extended record's own version fields are not the ones written.
  estendida.majorVersion = 99;
  estendida.servicePackMajor = 1;
  estendida.servicePackMinor = 0;
  estendida.suiteMask = 0x8100;
  estendida.productType = 200;
  sistema.estendida = estendida;
  EXPECT_EQ(
      InformacaoSistema(sistema),
      "<atualizador version='6.1' build='7601' platform_id='2' desc_service_pack='Service Pack 1' "
      "architecture='9' service_pack='1.0' suite='-32512' product_type='200' />");
}

TEST(InformacaoSistemaTest, FailedExtendedReadDropsItsAttributes) {
  SistemaDeTeste sistema;
  sistema.arquitetura = 0xFFFF;
  sistema.curta = Curta(5, 0, "");
  EXPECT_EQ(InformacaoSistema(sistema),
            "<atualizador version='5.0' build='7601' platform_id='2' desc_service_pack='' "
            "architecture='-1' />");
}

TEST(InformacaoSistemaTest, MajorVersionFourForm) {
  SistemaDeTeste sistema;
  sistema.arquitetura = 0;
  sistema.curta = Curta(4, 0, "Service Pack 6a, it's 'quoted'");
  sistema.estendida = platform::VersionRecordEx{};
  EXPECT_EQ(
      InformacaoSistema(sistema),
      "<atualizador version='4.0' build='7601' platform_id='2' service_pack='Service Pack 6a, it's "
      "'quoted'' architecture='0' />");
}

TEST(InformacaoSistemaTest, FailedShortReadGivesTheFallback) {
  SistemaDeTeste sistema;
  sistema.arquitetura = 12;
  EXPECT_EQ(InformacaoSistema(sistema),
            "<atualizador mensagem='informação indisponível' architecture='12'/>");
}

}  // namespace
}  // namespace tarvik
