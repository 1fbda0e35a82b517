#include "descriptor/dados_atualizacao.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "descriptor/caminhos.h"
#include "descriptor/resultado.h"
#include "support/erro_teste.h"

namespace tarvik {
namespace {

using teste::ErroDe;

TEST(DadosAtualizacaoTest, AjustaTamanhoLeavesOnlyEmptyElementsAndRefusesBelowOne) {
  DadosAtualizacao dados;
  dados.ArquivosRecuperar({std::make_shared<InformacaoArquivo>()});
  for (const int32_t quantidade : {0, -1}) {
    EXPECT_EQ(ErroDe([&] { dados.AjustaTamanhoArquivosRecuperar(quantidade); }),
              "9|DadosAtualizacao:AjustaTamanhoArquivosRecuperar|Subscrito fora do intervalo");
  }
  EXPECT_EQ(dados.ArquivosRecuperar().size(), 1u);
  dados.AjustaTamanhoArquivosRecuperar(3);
  EXPECT_EQ(dados.ArquivosRecuperar(), ArranjoArquivos(3));
}

TEST(NomeArquivoUrlTest, TakesTheFileNamePart) {
  EXPECT_EQ(NomeArquivoUrl("https://servidor.exemplo/tarvik/4.1/pelirana.exe"), "pelirana.exe");
  EXPECT_EQ(NomeArquivoUrl("http://servidor.exemplo:8080/tarvik/app.dll"), "app.dll");
  EXPECT_EQ(NomeArquivoUrl("http://s.exemplo/baixa.aspx?arquivo=app.dll"),
            "baixa.aspx?arquivo=app.dll");
  for (const char* semNome : {"http://servidor.exemplo", "http://servidor.exemplo:8080",
                              "http://servidor.exemplo/tarvik/", "C:\\tarvik\\app.dll", ""}) {
    EXPECT_EQ(NomeArquivoUrl(semNome), "") << semNome;
  }
}

// The base folder may itself hold the marker: it is not replaced again.
TEST(CaminhosTest, InstalledNameReplacesTheMarkerAndAppends) {
  EXPECT_EQ(ObtemNomeArquivoInstalado("C:\\app", "$base$\\dados\\", "x.mdb"),
            "C:\\app\\dados\\x.mdb");
  EXPECT_EQ(ObtemNomeArquivoInstalado("C:\\app", "$BASE$\\", "x.mdb"), "$BASE$\\x.mdb");
  EXPECT_EQ(ObtemNomeArquivoInstalado("C:\\app", "$base$\\$base$\\", "x"), "C:\\app\\C:\\app\\x");
  EXPECT_EQ(ObtemNomeArquivoInstalado("C:\\app", "modulos", "x.dll"), "modulosx.dll");
  EXPECT_EQ(ObtemNomeArquivoInstalado("$base$", "$base$$base$\\", "x"), "$base$$base$\\x");
  EXPECT_EQ(ObtemNomeArquivoInstalado("C:\\app", "", "x.dll"), "x.dll");
}

TEST(CaminhosTest, TemporaryNameJoinsNameVersionAndIndex) {
  EXPECT_EQ(ObtemNomeArquivoTemporario("temp\\", "app.dll", "4.1", 3), "temp\\app.dll-4.1-3");
  EXPECT_EQ(ObtemNomeArquivoTemporario("backup\\", "app.dll", "", 12), "backup\\app.dll--12");
  EXPECT_EQ(ObtemNomeArquivoTemporario("temp\\", "a", "1", -2), "temp\\a-1--2");
}

// Spaces around either part go, tabs stay; at least one backslash joins.
TEST(CaminhosTest, CombinaCaminhoJoinsWithOneBackslashAtLeast) {
  EXPECT_EQ(CombinaCaminho("C:\\app", "temp\\"), "C:\\app\\temp\\");
  EXPECT_EQ(CombinaCaminho("C:\\app\\", "temp\\"), "C:\\app\\temp\\");
  EXPECT_EQ(CombinaCaminho("C:\\app", "\\temp\\"), "C:\\app\\temp\\");
  EXPECT_EQ(CombinaCaminho("C:\\app\\", "\\temp\\"), "C:\\app\\\\temp\\");
  EXPECT_EQ(CombinaCaminho("  C:\\app  ", "  temp\\ "), "C:\\app\\temp\\");
  EXPECT_EQ(CombinaCaminho("\tC:\\app", "temp\\\t"), "\tC:\\app\\temp\\\t");
  EXPECT_EQ(CombinaCaminho("C:\\app", ""), "C:\\app\\");
  EXPECT_EQ(CombinaCaminho("", ""), "\\");
}

TEST(ResultadoTest, UnknownCodeRaisesFour) {
  for (const int32_t codigo : {5, -1}) {
    EXPECT_EQ(ErroDe([&] { NomeResultado(static_cast<Resultado>(codigo)); }),
              "4|NomeResultado|Resultado desconhecido: " + std::to_string(codigo));
  }
}

}  // namespace
}  // namespace tarvik
