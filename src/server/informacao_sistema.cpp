#include "server/informacao_sistema.h"

#include <algorithm>
#include <cstdint>

#include "base/texto.h"

namespace tarvik {

namespace {

constexpr int32_t kPrimeiraVersaoEstendida = 5;
constexpr char kAbertura[] = "<atualizador ";
constexpr char kArquitetura[] = "architecture";
constexpr char kServicePack[] = "service_pack";

// The record's 16-bit fields are written as signed numbers, so 0xFFFF is -1.
std::string Assinado16(uint16_t valor) { return std::to_string(static_cast<int16_t>(valor)); }

// One attribute and the blank that follows it; values are not escaped.
std::string Atributo(const char* nome, const std::string& valor) {
  return nome + ("='" + valor) + "' ";
}

// The record's fixed-size text: NULs become spaces, outer spaces go.
std::string TextoSemNulos(std::string texto) {
  std::replace(texto.begin(), texto.end(), '\0', ' ');
  return std::string(RemoveEspacos(texto));
}

}  // namespace

std::string InformacaoSistema(const platform::SystemInfoSource& fonte) {
  const std::string arquitetura = Assinado16(fonte.ProcessorArchitecture());
  platform::VersionRecord versao;
  if (!fonte.ReadVersion(versao)) {
    return kAbertura + Atributo("mensagem", "informação indisponível") + kArquitetura + "='" +
           arquitetura + "'/>";
  }
  const std::string pacoteServico = TextoSemNulos(versao.servicePack);
  std::string fragmento = kAbertura +
                          Atributo("version", std::to_string(versao.majorVersion) + "." +
                                                  std::to_string(versao.minorVersion)) +
                          Atributo("build", std::to_string(versao.buildNumber)) +
                          Atributo("platform_id", std::to_string(versao.platformId));
  if (versao.majorVersion < kPrimeiraVersaoEstendida) {
    return fragmento + Atributo(kServicePack, pacoteServico) + Atributo(kArquitetura, arquitetura) +
           "/>";
  }
  fragmento += Atributo("desc_service_pack", pacoteServico) + Atributo(kArquitetura, arquitetura);
  platform::VersionRecordEx estendida;
  if (fonte.ReadVersionEx(estendida)) {
    fragmento += Atributo(kServicePack, Assinado16(estendida.servicePackMajor) + "." +
                                            Assinado16(estendida.servicePackMinor)) +
                 Atributo("suite", Assinado16(estendida.suiteMask)) +
                 Atributo("product_type", std::to_string(estendida.productType));
  }
  return fragmento + "/>";
}

}  // namespace tarvik
