#include "server/processamento.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "server/informacao_sistema.h"
#include "support/instalacao_teste.h"
#include "support/registro_teste.h"
#include "support/servidor_local.h"

namespace tarvik {
namespace {

using Textos = std::vector<std::string>;

const std::string kVerificacao = "/tarvik/VerificaAtualizacao.aspx";

class ProcessamentoTest : public ::testing::Test {
 protected:
  ProcessamentoTest() {
    servidor_.Http().Get(kVerificacao,
                         [this](const httplib::Request& pedido, httplib::Response& resposta) {
                           if (pedido.has_param("operacao")) return;  // the report
                           cliente_ = pedido.get_header_value("X-Informacao-Cliente");
                           resposta.status = status_;
                           resposta.set_content(descritor_, "text/plain");
                         });
    servidor_.Inicia();
  }

  Resultado Verifica(bool atualizador) {
    return processamento_.ProcessaAtualizacaoAtualizador(
        atualizador ? "4.00" : "2.30", instalacao_.Pasta().Texto(), servidor_.Url(kVerificacao),
        "ABC123", atualizador, "Padaria São João & Cia 1", "11.222");
  }

  teste::InstalacaoTeste instalacao_{teste::kMomentoRegistro};
  teste::ServidorLocal servidor_;
  Processamento processamento_;
  int status_ = 200;
  std::string cliente_;  // the client-environment fragment of the last check
  std::string descritor_ =
      "[sequenciaAtualizacao]\r\nitens=0\r\natualizar=false\r\nversao=4.00\r\n"
      "atualizar_atualizador=false\r\n";
};

// The request carries the client-environment fragment. A check that finds
// no update due, or that fails, makes no report; a failure is logged after
// the lines that the runs of the whole program read back.
TEST_F(ProcessamentoTest, ChecksWithoutUpdateOrThatFailMakeNoReport) {
  EXPECT_EQ(Verifica(true), Resultado::kSucessoInstalacao);
  EXPECT_TRUE(cliente_.starts_with("<atualizador version='")) << cliente_;
  status_ = 404;
  EXPECT_EQ(Verifica(false), Resultado::kFalhaInstalacao);
  EXPECT_TRUE(instalacao_.TextoRegistro().ends_with(
      "\nINFO - Resposta recebida. Código http [404]\nINFO - Erro na recepção. Código HTTP: [404], "
      "mensagem [Not Found]\n"));
  status_ = 200;
  descritor_ = "itens=3\r\n[sequenciaAtualizacao]\r\n";
  EXPECT_EQ(Verifica(false), Resultado::kFalhaInstalacao);
  EXPECT_TRUE(instalacao_.TextoRegistro().ends_with(
      "\nERRO - Erro ao interpretar a resposta do servidor. Erro: [5] Mensagem [Chamada de "
      "procedimento ou argumento inválido: chave [itens] antes do primeiro cabeçalho de seção]\n"));
  EXPECT_EQ(servidor_.Pedidos(), (Textos{kVerificacao + "?versaoAplicativo=4.00&atualizador=on",
                                         kVerificacao + "?versaoAplicativo=2.30",
                                         kVerificacao + "?versaoAplicativo=2.30"}));
}

// Values go as they are; only what cannot stand in a request line, the
// blanks here, is percent-encoded. The update itself and its log line are
// read back by the runs of the whole program.
TEST_F(ProcessamentoTest, AppliedUpdateIsReportedWithBlanksAndAccentsAsPercentEncodedUtf8) {
  descritor_ =
      "[sequenciaAtualizacao]\r\nitens=1\r\natualizar=true\r\nversao=2.31\r\n"
      "atualizar_atualizador=false\r\nacao_1=CriarPasta\r\ncaminho_1=relatorios\r\n"
      "destino_1=$base$\\\r\n[arquivosOriginais]\r\nversao=2.30\r\nitens=0\r\n";
  EXPECT_EQ(Verifica(false), Resultado::kSucessoInstalacao);
  EXPECT_EQ(
      servidor_.Pedidos(),
      (Textos{kVerificacao + "?versaoAplicativo=2.30",
              kVerificacao +
                  "?operacao=resultado&chave=ABC123&data=20260305070809&resultado="
                  "SucessoInstalacao&versao_original=2.30&versao_atualizada=2.31&conta=Padaria%20S"
                  "%C3%A3o%20Jo%C3%A3o%20&%20Cia%201&cnpj=11.222"}));
}

// A system whose records the test gives; an absent record fails its read.
struct SistemaDeTeste : platform::SystemInfoSource {
  SistemaDeTeste(uint16_t a, std::optional<platform::VersionRecord> c,
                 std::optional<platform::VersionRecordEx> e)
      : arquitetura(a), curta(std::move(c)), estendida(std::move(e)) {}
  uint16_t ProcessorArchitecture() const override { return arquitetura; }
  bool ReadVersion(platform::VersionRecord& record) const override {
    if (curta) record = *curta;
    return curta.has_value();
  }
  bool ReadVersionEx(platform::VersionRecordEx& record) const override {
    if (estendida) record = *estendida;
    return estendida.has_value();
  }

  uint16_t arquitetura;
  std::optional<platform::VersionRecord> curta;
  std::optional<platform::VersionRecordEx> estendida;
};

// The record's 128-character service-pack text, padded with NULs.
std::string Texto128(const std::string& texto) {
  return texto + std::string(128 - texto.size(), '\0');
}

// The extended record's own version fields are not the ones written; a
// failed extended read drops its attributes; major version 4 has a form of
// its own, and a failed short read gives the fallback.
TEST(InformacaoSistemaTest, FragmentForEachKindOfSystem) {
  const platform::VersionRecordEx estendida{{99, 0, 0, 0, ""}, 1, 0, 0x8100, 200};
  const std::pair<SistemaDeTeste, const char*> casos[] = {
      {{9, platform::VersionRecord{6, 1, 7601, 2, Texto128(" Service Pack 1 ")}, estendida},
       "<atualizador version='6.1' build='7601' platform_id='2' desc_service_pack='Service Pack 1' "
       "architecture='9' service_pack='1.0' suite='-32512' product_type='200' />"},
      {{0xFFFF, platform::VersionRecord{5, 0, 7601, 2, Texto128("")}, std::nullopt},
       "<atualizador version='5.0' build='7601' platform_id='2' desc_service_pack='' "
       "architecture='-1' />"},
      {{0, platform::VersionRecord{4, 0, 1381, 2, Texto128("Service Pack 6a, it's 'quoted'")},
        platform::VersionRecordEx{}},
       "<atualizador version='4.0' build='1381' platform_id='2' service_pack='Service Pack 6a, "
       "it's 'quoted'' architecture='0' />"},
      {{12, std::nullopt, std::nullopt},
       "<atualizador mensagem='informação indisponível' architecture='12'/>"}};
  for (const auto& [sistema, fragmento] : casos) EXPECT_EQ(InformacaoSistema(sistema), fragmento);
}

}  // namespace
}  // namespace tarvik
