// How the server reads the raw queries of the check address.

#include "servidor_referencia/consulta_atualizacao.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvik::referencia {
namespace {

using Tipo = ConsultaAtualizacao::Tipo;
using publicacao::Produto;

TEST(ConsultaAtualizacaoTest, ReadsChecks) {
  for (const auto& [texto, produto, versao] :
       {std::tuple{"versaoAplicativo=2.30", Produto::kAplicativo, "2.30"},
        std::tuple{"atualizador=on&versaoAplicativo=4.00", Produto::kAtualizador, "4.00"},
        std::tuple{"versaoAplicativo=2.30%20beta+1", Produto::kAplicativo, "2.30 beta+1"}}) {
    const ConsultaAtualizacao consulta = InterpretaConsulta(texto);
    EXPECT_EQ(consulta.tipo, Tipo::kVerificacao) << texto << ": " << consulta.motivo;
    EXPECT_EQ(consulta.produto, produto) << texto;
    EXPECT_EQ(consulta.versao, versao) << texto;
  }
}

TEST(ConsultaAtualizacaoTest, ReadsReportsWhoseValuesHoldTheSeparators) {
  const ConsultaAtualizacao consulta = InterpretaConsulta(
      "operacao=resultado&chave={6F9619FF-8B86-D011-B42D-00C04FC964FF}&data=20261204042903"
      "&resultado=FalhaArquivosEmUso&versao_original=2.30&versao_atualizada=2.31"
      "&conta=Padaria%20S%C3%A3o Jo&o=1&cnpj=12.345.678/0001-90&x=%zz%4");
  ASSERT_EQ(consulta.tipo, Tipo::kRelatorio) << consulta.motivo;
  RelatorioResultado esperado;
  esperado.chave = "{6F9619FF-8B86-D011-B42D-00C04FC964FF}";
  esperado.data = "20261204042903";
  esperado.resultado = "FalhaArquivosEmUso";
  esperado.versaoOriginal = "2.30";
  esperado.versaoAtualizada = "2.31";
  esperado.conta = "Padaria São Jo&o=1";
  esperado.cnpj = "12.345.678/0001-90&x=%zz%4";
  EXPECT_EQ(consulta.relatorio, esperado);
}

TEST(ConsultaAtualizacaoTest, RefusesWhatTheUpdaterNeverSends) {
  // A whole report with `de` replaced by `para`.
  const auto relatorio = [](const std::string& de, const std::string& para) {
    std::string texto =
        "operacao=resultado&chave=k&data=20261204042903&resultado=SucessoInstalacao"
        "&versao_original=1&versao_atualizada=2&conta=c&cnpj=n";
    return texto.replace(texto.find(de), de.size(), para);
  };
  const std::pair<std::string, std::string> casos[] = {
      {"", "consulta vazia"},
      {"versaoAplicativo", "chave [versaoAplicativo] sem valor"},
      {"versaoAplicativo=", "versão vazia"},
      {"atualizador=on", "falta a chave [versaoAplicativo]"},
      {"versaoAplicativo=2.30&atualizador=sim", "valor [sim] da chave [atualizador]"},
      {"versaoAplicativo=2.30&versaoAplicativo=2.31", "chave [versaoAplicativo] repetida"},
      {"versaoAplicativo=2.30&", "chave [] desconhecida"},
      {"operacao=outra&chave=k", "operação desconhecida"},
      {relatorio("chave=k&", ""), "campo [chave] ausente ou fora de ordem"},
      {relatorio("&cnpj=n", ""), "campo [cnpj] ausente ou fora de ordem"},
      {relatorio("20261204042903", "2026120404290"), "data [2026120404290] não tem 14 dígitos"},
      {relatorio("20261204042903", "2026120404290x"), "data [2026120404290x] não tem 14 dígitos"},
      {relatorio("SucessoInstalacao", "Sucesso"), "resultado [Sucesso] desconhecido"},
  };
  for (const auto& [texto, motivo] : casos) {
    const ConsultaAtualizacao consulta = InterpretaConsulta(texto);
    EXPECT_EQ(consulta.tipo, Tipo::kInvalida) << texto;
    EXPECT_EQ(consulta.motivo, motivo) << texto;
  }
}

TEST(ConsultaAtualizacaoTest, DecodesOnlyWholeEscapes) {
  EXPECT_EQ(DecodificaPercentual("a%20b%C3%A7+%2%zz%"), "a bç+%2%zz%");
  EXPECT_EQ(DecodificaPercentual("%41%4a%4A"), "AJJ");
}

}  // namespace
}  // namespace tarvik::referencia
