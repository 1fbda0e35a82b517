// The developer's test form, run as a process with its answers on standard
// input.

#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/instalacao_e2e.h"
#include "e2e/servidor_atualizacao.h"
#include "support/pasta_temporaria.h"
#include "support/plataforma_teste.h"
#include "support/processo.h"

namespace tarvik {
namespace {

TEST(FormularioTesteTest, ConfirmedAddressFiresOneUpdaterCheckWithTheSampleValues) {
  teste::PastaTemporaria pasta;
  teste::ServidorAtualizacao servidor;
  const std::string formulario = "formulario_teste" + teste::kExtensaoPrograma;
  std::filesystem::copy_file(teste::PastaBinarios() / formulario, pasta.Caminho() / formulario);
  const auto consulta = [&](const std::string& respostas) {
    auto resultado = teste::Executa(pasta.Caminho() / formulario, {}, pasta.Caminho(),
                                    {{"DISPLAY", ""}}, respostas);
    // A console in text mode writes LF as CR LF on Windows.
    std::erase(resultado.saida, '\r');
    return resultado;
  };
  // Closed input fires nothing.
  EXPECT_EQ(consulta("").status, 0);
  EXPECT_TRUE(servidor.Pedidos().empty());

  const auto resultado = consulta(servidor.UrlVerificacao() + "\n\n");
  EXPECT_EQ(resultado.status, 0) << resultado.erros;
  EXPECT_EQ(
      resultado.saida,
      "Form1\n\nEndereço (Enter mantém):\nhttp://127.0.0.1:8080/ConsultaAtualizador/"
      "VerificaAtualizacao.aspx?versaoAplicativo=1.0&atualizador=on\n> [&Consultar] (Enter) ");
  const std::string verificacao =
      std::string(teste::ServidorAtualizacao::kCaminho) + "?versaoAplicativo=1.0&atualizador=on";
  EXPECT_EQ(servidor.Pedidos(), std::vector<std::string>{verificacao});

  // Run from the source folder, it works on the base subfolder; the sample
  // identity travels in the report.
  teste::EscreveArquivo(pasta.Em("Mervanto.vbp"), "");
  servidor.Responde(true, {200, teste::Descritor("1.1", false, {{"CriarPasta", "relatorios"}})});
  consulta(servidor.UrlVerificacao() + "\n\n");
  EXPECT_TRUE(std::filesystem::is_directory(pasta.Em("base/relatorios")));
  const auto pedidos = servidor.Pedidos();
  ASSERT_EQ(pedidos.size(), 3u);
  EXPECT_NE(pedidos[2].find("&chave=12345&"), std::string::npos) << pedidos[2];
  EXPECT_TRUE(pedidos[2].ends_with("&conta=12345-6&cnpj=11222333000181")) << pedidos[2];
}

}  // namespace
}  // namespace tarvik
