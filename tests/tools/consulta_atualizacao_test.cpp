// How the server reads the raw queries of the check address.

#include "servidor_referencia/consulta_atualizacao.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvik::referencia {
namespace {

using Tipo = ConsultaAtualizacao::Tipo;
using publicacao::Produto;

TEST(ConsultaAtualizacaoTest, ReadsChecks) {
  struct Caso {
    std::string consulta;
    Produto produto;
    std::string versao;
  };
  for (const Caso& caso :
       {Caso{"versaoAplicativo=2.30", Produto::kAplicativo, "2.30"},
        Caso{"atualizador=on&versaoAplicativo=4.00", Produto::kAtualizador, "4.00"},
        Caso{"versaoAplicativo=2.30%20beta+1", Produto::kAplicativo, "2.30 beta+1"}}) {
    const ConsultaAtualizacao consulta = InterpretaConsulta(caso.consulta);
    EXPECT_EQ(consulta.tipo, Tipo::kVerificacao) << caso.consulta << ": " << consulta.motivo;
    EXPECT_EQ(consulta.produto, caso.produto) << caso.consulta;
    EXPECT_EQ(consulta.versao, caso.versao) << caso.consulta;
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
  const std::string relatorio =
      "operacao=resultado&chave=k&data=20261204042903&resultado=SucessoInstalacao&versao_original=1"
      "&versao_atualizada=2&conta=c&cnpj=n";
  const auto troca = [&](const std::string& de, const std::string& para) {
    std::string texto = relatorio;
    texto.replace(texto.find(de), de.size(), para);
    return texto;
  };
  struct Caso {
    std::string consulta, motivo;
  };
  for (const Caso& caso : {
           Caso{"", "consulta vazia"},
           Caso{"versaoAplicativo", "chave [versaoAplicativo] sem valor"},
           Caso{"versaoAplicativo=", "versão vazia"},
           Caso{"atualizador=on", "falta a chave [versaoAplicativo]"},
           Caso{"versaoAplicativo=2.30&atualizador=sim", "valor [sim] da chave [atualizador]"},
           Caso{"versaoAplicativo=2.30&versaoAplicativo=2.31", "chave [versaoAplicativo] repetida"},
           Caso{"versaoAplicativo=2.30&", "chave [] desconhecida"},
           Caso{"operacao=outra&chave=k", "operação desconhecida"},
           Caso{troca("chave=k&", ""), "campo [chave] ausente ou fora de ordem"},
           Caso{troca("&cnpj=n", ""), "campo [cnpj] ausente ou fora de ordem"},
           Caso{troca("20261204042903", "2026120404290"),
                "data [2026120404290] não tem 14 dígitos"},
           Caso{troca("20261204042903", "2026120404290x"),
                "data [2026120404290x] não tem 14 dígitos"},
           Caso{troca("SucessoInstalacao", "Sucesso"), "resultado [Sucesso] desconhecido"},
       }) {
    const ConsultaAtualizacao consulta = InterpretaConsulta(caso.consulta);
    EXPECT_EQ(consulta.tipo, Tipo::kInvalida) << caso.consulta;
    EXPECT_EQ(consulta.motivo, caso.motivo) << caso.consulta;
  }
}

TEST(ConsultaAtualizacaoTest, DecodesOnlyWholeEscapes) {
  EXPECT_EQ(DecodificaPercentual("a%20b%C3%A7+%2%zz%"), "a bç+%2%zz%");
  EXPECT_EQ(DecodificaPercentual("%41%4a%4A"), "AJJ");
}

}  // namespace
}  // namespace tarvik::referencia
