#include "server/recupera_dados_atualizacao.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/erro.h"
#include "server/informacao_arquivo.h"
#include "server/informacao_pasta.h"

namespace tarvik {
namespace {

std::string Linhas(const std::vector<std::string>& linhas, const std::string& quebra = "\r\n") {
  std::string texto;
  for (const auto& linha : linhas) texto += linha + quebra;
  return texto;
}

const std::vector<std::string> kExemplo = {
    "[sequenciaAtualizacao]",
    "itens=3",
    "atualizar=true",
    "versao=2.31",
    "atualizar_atualizador=false",
    "acao_1=SubstituirArquivo",
    "caminho_1=https://atualiza.exemplo/tarvik/2.31/pelirana.exe",
    "destino_1=$base$\\",
    "tamanho_1=1048576",
    "hash_1=9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08",
    "authenticode_1=true",
    "arquivo_atualizador_1=false",
    "acao_2=RemoverArquivo",
    "caminho_2=https://atualiza.exemplo/tarvik/2.31/antigo.dll",
    "destino_2=$base$\\",
    "tamanho_2=0",
    "hash_2=",
    "authenticode_2=false",
    "arquivo_atualizador_2=false",
    "acao_3=CriarPasta",
    "caminho_3=relatorios",
    "destino_3=$base$\\",
    "[arquivosOriginais]",
    "versao=2.30",
    "itens=1",
    "caminho_1=https://atualiza.exemplo/tarvik/2.30/pelirana.exe",
    "tamanho_1=1000000",
    "hash_1=60303ae22b998861bce3b28f33eec1be758a213c86c93c076dbe9f558c11c752",
    "authenticode_1=true",
};

TEST(RecuperaDadosAtualizacaoTest, ReadsTheExampleFieldByField) {
  const DadosAtualizacao dados = RecuperaDadosAtualizacao(Linhas(kExemplo));
  EXPECT_TRUE(dados.Atualizar());
  EXPECT_FALSE(dados.AtualizarAtualizador());
  EXPECT_EQ(dados.NovaVersao(), "2.31");
  EXPECT_EQ(dados.VelhaVersao(), "2.30");
  EXPECT_EQ(dados.NumeroArquivosRecuperar(), 3);
  EXPECT_EQ(dados.NumeroArquivosOriginais(), 1);

  const auto itens = dados.ItensSequencia();
  ASSERT_EQ(itens->Quantidade(), 3);
  const auto substituir = std::dynamic_pointer_cast<InformacaoArquivo>(itens->Item(1));
  ASSERT_NE(substituir, nullptr);
  EXPECT_EQ(substituir->Indice(), 1);
  EXPECT_EQ(substituir->Acao(), 9);
  EXPECT_EQ(substituir->Url(), "https://atualiza.exemplo/tarvik/2.31/pelirana.exe");
  EXPECT_EQ(substituir->NomeDestino(), "pelirana.exe");
  EXPECT_EQ(substituir->Destino(), "$base$\\");
  EXPECT_EQ(substituir->tamanho(), 1048576);
  EXPECT_EQ(substituir->hash(), "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08");
  EXPECT_TRUE(substituir->Authenticode());
  EXPECT_FALSE(substituir->ArquivoAtualizador());

  const auto remover = std::dynamic_pointer_cast<InformacaoArquivo>(itens->Item(2));
  ASSERT_NE(remover, nullptr);
  EXPECT_EQ(remover->Indice(), 2);
  EXPECT_EQ(remover->Acao(), 12);
  EXPECT_EQ(remover->NomeDestino(), "antigo.dll");
  EXPECT_EQ(remover->tamanho(), 0);
  EXPECT_EQ(remover->hash(), "");
  EXPECT_FALSE(remover->Authenticode());

  const auto pasta = std::dynamic_pointer_cast<InformacaoPasta>(itens->Item(3));
  ASSERT_NE(pasta, nullptr);
  EXPECT_EQ(pasta->Indice(), 3);
  EXPECT_EQ(pasta->Acao(), 14);
  EXPECT_EQ(pasta->Nome(), "relatorios");
  EXPECT_EQ(pasta->NomeDestino(), "relatorios");
  EXPECT_EQ(pasta->Destino(), "$base$\\");

  // Only the replaced file is downloaded: the same entry object.
  EXPECT_EQ(dados.ArquivosRecuperar(), ArranjoArquivos{substituir});

  const auto originais = dados.ArquivosOriginais();
  ASSERT_EQ(originais.size(), 1u);
  EXPECT_EQ(originais[0]->Indice(), 1);
  EXPECT_EQ(originais[0]->Url(), "https://atualiza.exemplo/tarvik/2.30/pelirana.exe");
  EXPECT_EQ(originais[0]->tamanho(), 1000000);
  EXPECT_EQ(originais[0]->hash(),
            "60303ae22b998861bce3b28f33eec1be758a213c86c93c076dbe9f558c11c752");
  EXPECT_TRUE(originais[0]->Authenticode());
  EXPECT_EQ(originais[0]->Destino(), "");
  EXPECT_EQ(originais[0]->Acao(), 0);
  EXPECT_FALSE(originais[0]->ArquivoAtualizador());
}

TEST(RecuperaDadosAtualizacaoTest, LineBreaksOfAnyKindReadAlike) {
  for (const char* quebra : {"\n", "\r"}) {
    const DadosAtualizacao dados = RecuperaDadosAtualizacao(Linhas(kExemplo, quebra));
    EXPECT_EQ(dados.ItensSequencia()->Quantidade(), 3);
    EXPECT_EQ(dados.ArquivosOriginais().size(), 1u);
    EXPECT_EQ(dados.VelhaVersao(), "2.30");
  }
}

TEST(RecuperaDadosAtualizacaoTest, NoUpdateReadsOnlyTheDecision) {
  const DadosAtualizacao dados =
      RecuperaDadosAtualizacao(Linhas({"[SequenciaAtualizacao]", "ITENS=5", "atualizar=false",
                                       "versao=2.30", "atualizar_atualizador=true"}));
  EXPECT_FALSE(dados.Atualizar());
  EXPECT_TRUE(dados.AtualizarAtualizador());
  EXPECT_EQ(dados.NovaVersao(), "2.30");
  EXPECT_EQ(dados.NumeroArquivosRecuperar(), 5);
  EXPECT_TRUE(dados.ItensSequencia()->Vazia());
  EXPECT_TRUE(dados.ArquivosRecuperar().empty());
}

TEST(RecuperaDadosAtualizacaoTest, OnlyTheExactWordTrueUpdates) {
  for (const char* linha :
       {"atualizar = true", "atualizar=True", "atualizar=1", "atualizar=TRUE"}) {
    const DadosAtualizacao dados = RecuperaDadosAtualizacao(Linhas(
        {"[sequenciaAtualizacao]", "itens=0", linha, "versao=1", "atualizar_atualizador=true "}));
    EXPECT_FALSE(dados.Atualizar()) << linha;
    EXPECT_TRUE(dados.AtualizarAtualizador()) << linha;
  }
}

TEST(RecuperaDadosAtualizacaoTest, UnknownOrMissingActionsAreSkipped) {
  const DadosAtualizacao dados = RecuperaDadosAtualizacao(Linhas({
      "[sequenciaAtualizacao]",
      "itens=5",
      "atualizar=true",
      "versao=2",
      "atualizar_atualizador=false",
      "acao_2=ExecutarMsi",
      "acao_3=criarpasta",
      "acao_4=",
      "ACAO_5=RemoverPasta",
      "caminho_5=antiga",
      "destino_5=$base$\\",
      "acao_6=CriarPasta",
      "acao_05=CriarPasta",
      "[arquivosOriginais]",
      "versao=1",
      "itens=0",
  }));
  const auto itens = dados.ItensSequencia();
  ASSERT_EQ(itens->Quantidade(), 1);
  const auto pasta = std::dynamic_pointer_cast<InformacaoPasta>(itens->Item(1));
  ASSERT_NE(pasta, nullptr);
  EXPECT_EQ(pasta->Indice(), 5);
  EXPECT_EQ(pasta->Acao(), 13);
  EXPECT_EQ(pasta->Nome(), "antiga");
  EXPECT_TRUE(dados.ArquivosRecuperar().empty());
  EXPECT_EQ(dados.NumeroArquivosOriginais(), 0);
  EXPECT_TRUE(dados.ArquivosOriginais().empty());
}

TEST(RecuperaDadosAtualizacaoTest, EntriesKeepIndexOrderWhateverTheLineOrder) {
  const DadosAtualizacao dados = RecuperaDadosAtualizacao(Linhas({
      "[sequenciaAtualizacao]",
      "itens=10",
      "atualizar=true",
      "versao=2",
      "atualizar_atualizador=false",
      "acao_10=CriarPasta",
      "caminho_10=b",
      "destino_10=x",
      "acao_9=CriarPasta",
      "caminho_9=a",
      "destino_9=x",
      "[arquivosOriginais]",
      "versao=1",
      "itens=0",
  }));
  const auto itens = dados.ItensSequencia();
  ASSERT_EQ(itens->Quantidade(), 2);
  EXPECT_EQ(itens->Item(1)->Indice(), 9);
  EXPECT_EQ(itens->Item(2)->Indice(), 10);
}

TEST(RecuperaDadosAtualizacaoTest, AHugeCountCostsNothing) {
  const DadosAtualizacao dados = RecuperaDadosAtualizacao(Linhas({
      "[sequenciaAtualizacao]",
      "itens=2147483647",
      "atualizar=true",
      "versao=2",
      "atualizar_atualizador=false",
      "acao_2147483647=CriarPasta",
      "caminho_2147483647=a",
      "destino_2147483647=x",
      "[arquivosOriginais]",
      "versao=1",
      "itens=0",
  }));
  ASSERT_EQ(dados.ItensSequencia()->Quantidade(), 1);
  EXPECT_EQ(dados.ItensSequencia()->Item(1)->Indice(), 2147483647);
}

// A descriptor with one file entry whose size and signature flag are given.
std::string ComArquivo(const std::string& tamanho, const std::string& authenticode) {
  return Linhas({
      "[sequenciaAtualizacao]",
      "itens=1",
      "atualizar=true",
      "versao=2",
      "atualizar_atualizador=false",
      "acao_1=CopiarNovoArquivo",
      "caminho_1=http://s/a.dll",
      "destino_1=$base$\\",
      "tamanho_1=" + tamanho,
      "hash_1=h",
      "authenticode_1=" + authenticode,
      "arquivo_atualizador_1=0",
      "[arquivosOriginais]",
      "versao=1",
      "itens=0",
  });
}

struct CasoNumero {
  const char* texto;
  int32_t valor;
};

class NumeroTest : public testing::TestWithParam<CasoNumero> {};

TEST_P(NumeroTest, Converts) {
  const auto arquivos =
      RecuperaDadosAtualizacao(ComArquivo(GetParam().texto, "true")).ArquivosRecuperar();
  ASSERT_EQ(arquivos.size(), 1u);
  EXPECT_EQ(arquivos[0]->tamanho(), GetParam().valor);
}

INSTANTIATE_TEST_SUITE_P(Tamanhos, NumeroTest,
                         testing::Values(CasoNumero{"1234", 1234}, CasoNumero{" 12", 12},
                                         CasoNumero{"+7", 7}, CasoNumero{"007", 7},
                                         CasoNumero{"-5", -5}, CasoNumero{"2.5", 2},
                                         CasoNumero{"3.5", 4}, CasoNumero{"-2.5", -2},
                                         CasoNumero{"2.50001", 3}, CasoNumero{"2.4999", 2},
                                         CasoNumero{".5", 0}, CasoNumero{"7.", 7},
                                         CasoNumero{"2147483647", 2147483647},
                                         CasoNumero{"-2147483648", -2147483647 - 1},
                                         CasoNumero{"-2147483648.5", -2147483647 - 1},
                                         CasoNumero{"00000000000000000042", 42}));

struct CasoLogico {
  const char* texto;
  bool valor;
};

class LogicoTest : public testing::TestWithParam<CasoLogico> {};

TEST_P(LogicoTest, Converts) {
  const auto arquivos =
      RecuperaDadosAtualizacao(ComArquivo("1", GetParam().texto)).ArquivosRecuperar();
  ASSERT_EQ(arquivos.size(), 1u);
  EXPECT_EQ(arquivos[0]->Authenticode(), GetParam().valor);
}

INSTANTIATE_TEST_SUITE_P(Logicos, LogicoTest,
                         testing::Values(CasoLogico{"true", true}, CasoLogico{"TRUE", true},
                                         CasoLogico{" False", false}, CasoLogico{"0", false},
                                         CasoLogico{"-1", true}, CasoLogico{"2", true},
                                         CasoLogico{"0.0", false}, CasoLogico{"0.5", true},
                                         CasoLogico{"99999999999999", true}));

struct CasoFalha {
  const char* nome;
  std::string conteudo;
  int32_t numero;
  std::string descricao;
};

class RecuperaDadosAtualizacaoFalhaTest : public testing::TestWithParam<CasoFalha> {};

TEST_P(RecuperaDadosAtualizacaoFalhaTest, RaisesNamingSectionAndKey) {
  try {
    RecuperaDadosAtualizacao(GetParam().conteudo);
    FAIL();
  } catch (const Erro& erro) {
    EXPECT_EQ(erro.Numero(), GetParam().numero);
    EXPECT_EQ(erro.Descricao(), GetParam().descricao);
  }
}

const std::string kInvalido = "Chamada de procedimento ou argumento inválido: ";

INSTANTIATE_TEST_SUITE_P(
    Falhas, RecuperaDadosAtualizacaoFalhaTest,
    testing::Values(
        CasoFalha{"EmptyAnswer", "", 5, kInvalido + "seção [sequenciaAtualizacao] ausente"},
        CasoFalha{"MissingDecisionKey",
                  Linhas({"[sequenciaAtualizacao]", "itens=0", "atualizar=false",
                          "atualizar_atualizador=false"}),
                  5, kInvalido + "chave [versao] ausente na seção [sequenciaAtualizacao]"},
        // The blank line hides the second section.
        CasoFalha{"BlankLineHidesOriginals",
                  Linhas({"[sequenciaAtualizacao]", "itens=0", "atualizar=true", "versao=2",
                          "atualizar_atualizador=false", "", "[arquivosOriginais]", "versao=1",
                          "itens=0"}),
                  5, kInvalido + "seção [arquivosOriginais] ausente"},
        CasoFalha{
            "MissingEntryKey",
            Linhas({"[sequenciaAtualizacao]", "itens=1", "atualizar=true", "versao=2",
                    "atualizar_atualizador=false", "acao_1=RemoverArquivo",
                    "caminho_1=http://s/a.dll", "destino_1=x", "tamanho_1=0",
                    "hash_1=", "authenticode_1=false"}),
            5, kInvalido + "chave [arquivo_atualizador_1] ausente na seção [sequenciaAtualizacao]"},
        CasoFalha{"OriginalsBeyondTheirEntries",
                  Linhas({"[sequenciaAtualizacao]", "itens=0", "atualizar=true", "versao=2",
                          "atualizar_atualizador=false", "[arquivosOriginais]", "versao=1",
                          "itens=2147483647", "caminho_1=http://s/a.dll", "tamanho_1=1", "hash_1=h",
                          "authenticode_1=1"}),
                  5, kInvalido + "chave [caminho_2] ausente na seção [arquivosOriginais]"},
        CasoFalha{
            "CountNotANumber",
            Linhas({"[sequenciaAtualizacao]", "itens=três", "atualizar=false", "versao=2",
                    "atualizar_atualizador=false"}),
            13,
            "Tipos incompatíveis: valor [três] da chave [itens] na seção [sequenciaAtualizacao]"},
        CasoFalha{"EmptyCount",
                  Linhas({"[sequenciaAtualizacao]", "itens=", "atualizar=false", "versao=2",
                          "atualizar_atualizador=false"}),
                  13,
                  "Tipos incompatíveis: valor [] da chave [itens] na seção [sequenciaAtualizacao]"},
        CasoFalha{"Exponent", ComArquivo("1e3", "true"), 13,
                  "Tipos incompatíveis: valor [1e3] da chave [tamanho_1] na seção "
                  "[sequenciaAtualizacao]"},
        CasoFalha{"Comma", ComArquivo("1,5", "true"), 13,
                  "Tipos incompatíveis: valor [1,5] da chave [tamanho_1] na seção "
                  "[sequenciaAtualizacao]"},
        CasoFalha{
            "LoneSign", ComArquivo("-", "true"), 13,
            "Tipos incompatíveis: valor [-] da chave [tamanho_1] na seção [sequenciaAtualizacao]"},
        CasoFalha{
            "SizeOverflow", ComArquivo("2147483648", "true"), 6,
            "Estouro: valor [2147483648] da chave [tamanho_1] na seção [sequenciaAtualizacao]"},
        CasoFalha{
            "RoundedIntoOverflow", ComArquivo("2147483647.5", "true"), 6,
            "Estouro: valor [2147483647.5] da chave [tamanho_1] na seção [sequenciaAtualizacao]"},
        CasoFalha{
            "NegativeOverflow", ComArquivo("-2147483649", "true"), 6,
            "Estouro: valor [-2147483649] da chave [tamanho_1] na seção [sequenciaAtualizacao]"},
        CasoFalha{"ManyDigits", ComArquivo("123456789012345678901234567890", "true"), 6,
                  "Estouro: valor [123456789012345678901234567890] da chave [tamanho_1] na seção "
                  "[sequenciaAtualizacao]"},
        CasoFalha{"TruthNotConvertible", ComArquivo("1", "sim"), 13,
                  "Tipos incompatíveis: valor [sim] da chave [authenticode_1] na seção "
                  "[sequenciaAtualizacao]"},
        CasoFalha{"TruthEmpty", ComArquivo("1", ""), 13,
                  "Tipos incompatíveis: valor [] da chave [authenticode_1] na seção "
                  "[sequenciaAtualizacao]"},
        CasoFalha{"RepeatedKey", Linhas({"[sequenciaAtualizacao]", "itens=0", "Itens=0"}), 457,
                  "Esta chave já está associada a um elemento desta coleção: chave [Itens] "
                  "repetida na seção "
                  "[sequenciaAtualizacao]"}),
    [](const auto& caso) { return caso.param.nome; });

}  // namespace
}  // namespace tarvik
