#include "descriptor/recupera_dados_atualizacao.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/erro.h"
#include "descriptor/informacao_arquivo.h"
#include "descriptor/informacao_pasta.h"

namespace tarvik {
namespace {

std::string Linhas(const std::vector<std::string>& linhas, const std::string& quebra = "\r\n") {
  std::string texto;
  for (const auto& linha : linhas) texto += linha + quebra;
  return texto;
}

// A descriptor that updates to version 2 with `entradas` as the entry lines
// and no installed file listed.
std::string Descritor(const std::string& itens, std::vector<std::string> entradas) {
  entradas.insert(entradas.begin(), {"[sequenciaAtualizacao]", "itens=" + itens, "atualizar=true",
                                     "versao=2", "atualizar_atualizador=false"});
  entradas.insert(entradas.end(), {"[arquivosOriginais]", "versao=1", "itens=0"});
  return Linhas(entradas);
}

// A file entry's fields, '|' separated: index, action, URL, name, target
// folder, size, hash, signature flag, updater flag.
std::string Campos(const InformacaoArquivo& a) {
  return std::to_string(a.Indice()) + "|" + std::to_string(a.Acao()) + "|" + a.Url() + "|" +
         a.NomeDestino() + "|" + a.Destino() + "|" + std::to_string(a.tamanho()) + "|" + a.hash() +
         "|" + std::to_string(a.Authenticode()) + "|" + std::to_string(a.ArquivoAtualizador());
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
    "authenticode_1=true"};

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
  const auto remover = std::dynamic_pointer_cast<InformacaoArquivo>(itens->Item(2));
  const auto pasta = std::dynamic_pointer_cast<InformacaoPasta>(itens->Item(3));
  ASSERT_TRUE(substituir && remover && pasta);
  EXPECT_EQ(Campos(*substituir),
            "1|9|https://atualiza.exemplo/tarvik/2.31/pelirana.exe|pelirana.exe|$base$\\|1048576|"
            "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08|1|0");
  EXPECT_EQ(Campos(*remover),
            "2|12|https://atualiza.exemplo/tarvik/2.31/antigo.dll|antigo.dll|$base$\\|0||0|0");
  EXPECT_EQ(std::to_string(pasta->Indice()) + "|" + std::to_string(pasta->Acao()) + "|" +
                pasta->Nome() + "|" + pasta->NomeDestino() + "|" + pasta->Destino(),
            "3|14|relatorios|relatorios|$base$\\");

  // Only the replaced file is downloaded: the same entry object.
  EXPECT_EQ(dados.ArquivosRecuperar(), ArranjoArquivos{substituir});

  const auto originais = dados.ArquivosOriginais();
  ASSERT_EQ(originais.size(), 1u);
  EXPECT_EQ(Campos(*originais[0]),
            "1|0|https://atualiza.exemplo/tarvik/2.30/pelirana.exe|pelirana.exe||1000000|"
            "60303ae22b998861bce3b28f33eec1be758a213c86c93c076dbe9f558c11c752|1|0");
}

TEST(RecuperaDadosAtualizacaoTest, LineBreaksOfAnyKindReadAlike) {
  for (const char* quebra : {"\n", "\r"}) {
    const DadosAtualizacao dados = RecuperaDadosAtualizacao(Linhas(kExemplo, quebra));
    EXPECT_EQ(dados.ItensSequencia()->Quantidade(), 3);
    EXPECT_EQ(dados.ArquivosOriginais().size(), 1u);
    EXPECT_EQ(dados.VelhaVersao(), "2.30");
  }
}

// Only the exact word "true" updates; without an update nothing past the
// decision is read, and section and key names are found in any letter case.
TEST(RecuperaDadosAtualizacaoTest, NoUpdateReadsOnlyTheDecision) {
  for (const char* linha :
       {"atualizar=false", "atualizar = true", "atualizar=True", "atualizar=1"}) {
    const DadosAtualizacao dados =
        RecuperaDadosAtualizacao(Linhas({"[SequenciaAtualizacao]", "ITENS=5", linha, "versao=2.30",
                                         "atualizar_atualizador=true "}));
    EXPECT_FALSE(dados.Atualizar()) << linha;
    EXPECT_TRUE(dados.AtualizarAtualizador()) << linha;
    EXPECT_EQ(dados.NovaVersao(), "2.30");
    EXPECT_EQ(dados.NumeroArquivosRecuperar(), 5);
    EXPECT_TRUE(dados.ItensSequencia()->Vazia());
    EXPECT_TRUE(dados.ArquivosRecuperar().empty());
  }
}

TEST(RecuperaDadosAtualizacaoTest, UnknownOrMissingActionsAreSkipped) {
  const DadosAtualizacao dados = RecuperaDadosAtualizacao(Descritor(
      "5", {"acao_2=ExecutarMsi", "acao_3=criarpasta", "acao_4=", "ACAO_5=RemoverPasta",
            "caminho_5=antiga", "destino_5=$base$\\", "acao_6=CriarPasta", "acao_05=CriarPasta"}));
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

// Entries come in index order whatever the line order, and a huge count
// costs nothing.
TEST(RecuperaDadosAtualizacaoTest, EntriesKeepIndexOrderWhateverTheLineOrder) {
  const auto itens =
      RecuperaDadosAtualizacao(
          Descritor("2147483647",
                    {"acao_2147483647=CriarPasta", "caminho_2147483647=b", "destino_2147483647=x",
                     "acao_9=CriarPasta", "caminho_9=a", "destino_9=x"}))
          .ItensSequencia();
  ASSERT_EQ(itens->Quantidade(), 2);
  EXPECT_EQ(itens->Item(1)->Indice(), 9);
  EXPECT_EQ(itens->Item(2)->Indice(), 2147483647);
}

// A descriptor with one file entry whose size and signature flag are given.
std::string ComArquivo(const std::string& tamanho, const std::string& authenticode) {
  return Descritor("1", {"acao_1=CopiarNovoArquivo", "caminho_1=http://s/a.dll",
                         "destino_1=$base$\\", "tamanho_1=" + tamanho, "hash_1=h",
                         "authenticode_1=" + authenticode, "arquivo_atualizador_1=0"});
}

TEST(RecuperaDadosAtualizacaoTest, ConvertsNumbersRoundingHalfToEven) {
  const std::pair<const char*, int32_t> casos[] = {{"1234", 1234},
                                                   {" 12", 12},
                                                   {"+7", 7},
                                                   {"-5", -5},
                                                   {"2.5", 2},
                                                   {"3.5", 4},
                                                   {"2.50001", 3},
                                                   {"2.4999", 2},
                                                   {".5", 0},
                                                   {"7.", 7},
                                                   {"2147483647", 2147483647},
                                                   {"-2147483648", -2147483647 - 1},
                                                   {"-2147483648.5", -2147483647 - 1},
                                                   {"00000000000000000042", 42}};
  for (const auto& [texto, valor] : casos) {
    const auto arquivos = RecuperaDadosAtualizacao(ComArquivo(texto, "true")).ArquivosRecuperar();
    ASSERT_EQ(arquivos.size(), 1u);
    EXPECT_EQ(arquivos[0]->tamanho(), valor) << texto;
  }
}

TEST(RecuperaDadosAtualizacaoTest, ConvertsTruthValues) {
  const std::pair<const char*, bool> casos[] = {
      {"TRUE", true}, {" False", false},       {"0", false}, {"-1", true}, {"0.0", false},
      {"0.5", true},  {"99999999999999", true}};
  for (const auto& [texto, valor] : casos) {
    const auto arquivos = RecuperaDadosAtualizacao(ComArquivo("1", texto)).ArquivosRecuperar();
    ASSERT_EQ(arquivos.size(), 1u);
    EXPECT_EQ(arquivos[0]->Authenticode(), valor) << texto;
  }
}

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
const std::string kSequencia = "] na seção [sequenciaAtualizacao]";
const std::string kSemAtualizar = "atualizar=false";

// The failure of `valor` under `chave`: `tipo` is "Tipos incompatíveis" or "Estouro".
std::string Falha(const std::string& tipo, const std::string& valor, const std::string& chave) {
  return tipo + ": valor [" + valor + "] da chave [" + chave + kSequencia;
}
CasoFalha Tamanho(const char* nome, const std::string& valor, int32_t numero) {
  return {nome, ComArquivo(valor, "true"), numero,
          Falha(numero == 6 ? "Estouro" : "Tipos incompatíveis", valor, "tamanho_1")};
}

INSTANTIATE_TEST_SUITE_P(
    Falhas, RecuperaDadosAtualizacaoFalhaTest,
    testing::Values(
        CasoFalha{"EmptyAnswer", "", 5, kInvalido + "seção [sequenciaAtualizacao] ausente"},
        CasoFalha{"MissingDecisionKey",
                  Linhas({"[sequenciaAtualizacao]", "itens=0", kSemAtualizar,
                          "atualizar_atualizador=false"}),
                  5, kInvalido + "chave [versao] ausente" + kSequencia.substr(1)},
        // The blank line hides the second section.
        CasoFalha{"BlankLineHidesOriginals",
                  Linhas({"[sequenciaAtualizacao]", "itens=0", "atualizar=true", "versao=2",
                          "atualizar_atualizador=false", "", "[arquivosOriginais]", "versao=1",
                          "itens=0"}),
                  5, kInvalido + "seção [arquivosOriginais] ausente"},
        CasoFalha{"MissingEntryKey",
                  Descritor("1", {"acao_1=RemoverArquivo", "caminho_1=http://s/a.dll",
                                  "destino_1=x", "tamanho_1=0", "hash_1=", "authenticode_1=false"}),
                  5, kInvalido + "chave [arquivo_atualizador_1] ausente" + kSequencia.substr(1)},
        CasoFalha{"OriginalsBeyondTheirEntries",
                  Linhas({"[sequenciaAtualizacao]", "itens=0", "atualizar=true", "versao=2",
                          "atualizar_atualizador=false", "[arquivosOriginais]", "versao=1",
                          "itens=2147483647", "caminho_1=http://s/a.dll", "tamanho_1=1", "hash_1=h",
                          "authenticode_1=1"}),
                  5, kInvalido + "chave [caminho_2] ausente na seção [arquivosOriginais]"},
        CasoFalha{"CountNotANumber",
                  Linhas({"[sequenciaAtualizacao]", "itens=três", kSemAtualizar, "versao=2"}), 13,
                  Falha("Tipos incompatíveis", "três", "itens")},
        CasoFalha{"EmptyCount",
                  Linhas({"[sequenciaAtualizacao]", "itens=", kSemAtualizar, "versao=2"}), 13,
                  Falha("Tipos incompatíveis", "", "itens")},
        Tamanho("Exponent", "1e3", 13), Tamanho("LoneSign", "-", 13),
        Tamanho("SizeOverflow", "2147483648", 6), Tamanho("RoundedIntoOverflow", "2147483647.5", 6),
        Tamanho("NegativeOverflow", "-2147483649", 6),
        Tamanho("ManyDigits", "123456789012345678901234567890", 6),
        CasoFalha{"TruthNotConvertible", ComArquivo("1", "sim"), 13,
                  Falha("Tipos incompatíveis", "sim", "authenticode_1")},
        CasoFalha{"RepeatedKey", Linhas({"[sequenciaAtualizacao]", "itens=0", "Itens=0"}), 457,
                  "Esta chave já está associada a um elemento desta coleção: chave [Itens] "
                  "repetida na seção [sequenciaAtualizacao]"}),
    [](const auto& caso) { return caso.param.nome; });

}  // namespace
}  // namespace tarvik
