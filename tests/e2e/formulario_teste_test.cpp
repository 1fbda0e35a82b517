// The developer's test form, run as a process with its answers on standard
// input.

#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/servidor_atualizacao.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

class FormularioTesteTest : public ::testing::Test {
 protected:
  FormularioTesteTest() {
    fs::copy_file(teste::PastaBinarios() / "formulario_teste",
                  pasta_.Caminho() / "formulario_teste");
  }

  teste::ResultadoProcesso Consulta(const std::string& respostas) {
    return teste::Executa(pasta_.Caminho() / "formulario_teste", {}, pasta_.Caminho(),
                          {{"DISPLAY", ""}}, respostas);
  }

  teste::PastaTemporaria pasta_;
  teste::ServidorAtualizacao servidor_;
};

TEST_F(FormularioTesteTest, ConfirmedAddressFiresOneUpdaterCheckWithTheSampleValues) {
  const auto resultado = Consulta(servidor_.UrlVerificacao() + "\n\n");
  EXPECT_EQ(resultado.status, 0) << resultado.erros;
  EXPECT_TRUE(resultado.saida.starts_with("Form1\n")) << resultado.saida;
  EXPECT_NE(
      resultado.saida.find(
          "/ConsultaAtualizador/VerificaAtualizacao.aspx?versaoAplicativo=1.0&atualizador=on"),
      std::string::npos);
  EXPECT_EQ(servidor_.Pedidos(),
            std::vector<std::string>{std::string(teste::ServidorAtualizacao::kCaminho) +
                                     "?versaoAplicativo=1.0&atualizador=on"});
}

TEST_F(FormularioTesteTest, SourceFolderRunWorksOnTheBaseSubfolder) {
  teste::EscreveArquivo(pasta_.Em("Mervanto.vbp"), "");
  servidor_.RespostaAtualizador(
      {200, teste::Descritor("1.1", false, {{"CriarPasta", "relatorios", "$base$\\", "", false}})});
  Consulta(servidor_.UrlVerificacao() + "\n\n");
  EXPECT_TRUE(fs::is_directory(pasta_.Em("base/relatorios")));
  // The sample identity travels in the report.
  const auto pedidos = servidor_.Pedidos();
  ASSERT_EQ(pedidos.size(), 2u);
  EXPECT_NE(pedidos[1].find("&chave=12345&"), std::string::npos) << pedidos[1];
  EXPECT_NE(pedidos[1].find("&conta=12345-6&cnpj=11222333000181"), std::string::npos) << pedidos[1];
}

TEST_F(FormularioTesteTest, ClosedInputFiresNothing) {
  const auto resultado = Consulta("");
  EXPECT_EQ(resultado.status, 0);
  EXPECT_TRUE(servidor_.Pedidos().empty());
}

}  // namespace
}  // namespace tarvik
