#include "server/informacao_sistema.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tarvik {
namespace {

struct Caso {
  uint16_t arquitetura;
  std::optional<platform::VersionRecord> curta;
  std::optional<platform::VersionRecordEx> estendida;
  const char* fragmento;
};

// A system whose records a case gives; an absent record fails its read.
class SistemaDeTeste : public platform::SystemInfoSource {
 public:
  explicit SistemaDeTeste(const Caso& caso) : caso_(caso) {}
  uint16_t ProcessorArchitecture() const override { return caso_.arquitetura; }
  bool ReadVersion(platform::VersionRecord& record) const override {
    if (caso_.curta) record = *caso_.curta;
    return caso_.curta.has_value();
  }
  bool ReadVersionEx(platform::VersionRecordEx& record) const override {
    if (caso_.estendida) record = *caso_.estendida;
    return caso_.estendida.has_value();
  }

 private:
  const Caso& caso_;
};

platform::VersionRecord Curta(int32_t major, const std::string& servicePack) {
  platform::VersionRecord registro;
  registro.majorVersion = major;
  registro.minorVersion = major == 6 ? 1 : 0;
  registro.buildNumber = 7601;
  registro.platformId = 2;
  // The 128-character text of the record, padded with NULs.
  registro.servicePack = servicePack + std::string(128 - servicePack.size(), '\0');
  return registro;
}

// The extended record's own version fields are not the ones written; a
// failed extended read drops its attributes; major version 4 has a form of
// its own, and a failed short read gives the fallback.
TEST(InformacaoSistemaTest, FragmentForEachKindOfSystem) {
  platform::VersionRecordEx estendida;
  estendida.majorVersion = 99;
  estendida.servicePackMajor = 1;
  estendida.servicePackMinor = 0;
  estendida.suiteMask = 0x8100;
  estendida.productType = 200;
  const Caso casos[] = {
      {9, Curta(6, " Service Pack 1 "), estendida,
       "<atualizador version='6.1' build='7601' platform_id='2' desc_service_pack='Service Pack 1' "
       "architecture='9' service_pack='1.0' suite='-32512' product_type='200' />"},
      {0xFFFF, Curta(5, ""), std::nullopt,
       "<atualizador version='5.0' build='7601' platform_id='2' desc_service_pack='' "
       "architecture='-1' />"},
      {0, Curta(4, "Service Pack 6a, it's 'quoted'"), platform::VersionRecordEx{},
       "<atualizador version='4.0' build='7601' platform_id='2' service_pack='Service Pack 6a, "
       "it's 'quoted'' architecture='0' />"},
      {12, std::nullopt, std::nullopt,
       "<atualizador mensagem='informação indisponível' architecture='12'/>"}};
  for (const Caso& caso : casos) EXPECT_EQ(InformacaoSistema(SistemaDeTeste(caso)), caso.fragmento);
}

}  // namespace
}  // namespace tarvik
