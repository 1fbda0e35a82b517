#include "descriptor/recupera_dados_atualizacao.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "descriptor/caminhos.h"
#include "descriptor/dados_atualizacao.h"
#include "descriptor/informacao_arquivo.h"
#include "descriptor/resultado.h"
#include "support/erro_teste.h"

namespace tarvik {
namespace {

using teste::ErroDe;
using Textos = std::vector<std::string>;

// `valores` as text, each followed by '|'.
template <typename... Valores>
std::string Juntos(const Valores&... valores) {
  std::ostringstream texto;
  ((texto << valores << '|'), ...);
  return texto.str();
}
// An entry's index, action, name, folder and updater flag, and for a file
// its URL, size, hash and signature flag.
std::string Campos(const IItemSequencia& i) {
  const auto* a = dynamic_cast<const InformacaoArquivo*>(&i);
  return Juntos(i.Indice(), i.Acao(), i.NomeDestino(), i.Destino(), i.ArquivoAtualizador()) +
         (a ? Juntos(a->Url(), a->tamanho(), a->hash(), a->Authenticode()) : "");
}
// Update, updater, new and old version, entries announced, installed files
// announced, entries, files to download, installed files read.
std::string Resumo(const DadosAtualizacao& d) {
  return Juntos(d.Atualizar(), d.AtualizarAtualizador(), d.NovaVersao(), d.VelhaVersao(),
                d.NumeroArquivosRecuperar(), d.NumeroArquivosOriginais(),
                d.ItensSequencia()->Quantidade(), d.ArquivosRecuperar().size(),
                d.ArquivosOriginais().size());
}
Textos Itens(const DadosAtualizacao& dados) {
  Textos itens;
  for (const auto& item : *dados.ItensSequencia()) itens.push_back(Campos(*item));
  return itens;
}

// A descriptor that updates to version 2 with `entradas` as the entry lines
// and no installed file listed.
std::string Descritor(const std::string& itens, const Textos& entradas) {
  std::string texto = "[sequenciaAtualizacao]\nitens=" + itens +
                      "\natualizar=true\nversao=2\natualizar_atualizador=false\n";
  for (const auto& entrada : entradas) texto += entrada + "\n";
  return texto + "[arquivosOriginais]\nversao=1\nitens=0\n";
}

const std::string kExemplo =
    "[sequenciaAtualizacao]\r\nitens=3\r\natualizar=true\r\nversao=2.31\r\n"
    "atualizar_atualizador=false\r\n"
    "acao_1=SubstituirArquivo\r\ncaminho_1=https://atualiza.exemplo/2.31/pelirana.exe\r\n"
    "destino_1=$base$\\\r\ntamanho_1=1048576\r\n"
    "hash_1=9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08\r\n"
    "authenticode_1=true\r\narquivo_atualizador_1=false\r\n"
    "acao_2=RemoverArquivo\r\ncaminho_2=https://atualiza.exemplo/2.31/antigo.dll\r\n"
    "destino_2=$base$\\\r\ntamanho_2=0\r\nhash_2=\r\nauthenticode_2=false\r\n"
    "arquivo_atualizador_2=true\r\n"
    "acao_3=CriarPasta\r\ncaminho_3=relatorios\r\ndestino_3=$base$\\dados\\\r\n"
    "[arquivosOriginais]\r\nversao=2.30\r\nitens=1\r\n"
    "caminho_1=https://atualiza.exemplo/2.30/pelirana.exe\r\ntamanho_1=1000000\r\n"
    "hash_1=60303ae22b998861bce3b28f33eec1be758a213c86c93c076dbe9f558c11c752\r\n"
    "authenticode_1=true\r\n";

TEST(RecuperaDadosAtualizacaoTest, ReadsTheExampleWhateverTheLineBreaks) {
  for (const char* quebra : {"\r\n", "\n", "\r"}) {
    const DadosAtualizacao dados =
        RecuperaDadosAtualizacao(std::regex_replace(kExemplo, std::regex("\r\n"), quebra));
    EXPECT_EQ(Resumo(dados), "1|0|2.31|2.30|3|1|3|1|1|");
    EXPECT_EQ(Itens(dados),
              (Textos{"1|9|pelirana.exe|$base$\\|0|https://atualiza.exemplo/2.31/pelirana.exe|"
                      "1048576|9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08|1|",
                      "2|12|antigo.dll|$base$\\|1|https://atualiza.exemplo/2.31/antigo.dll|0||0|",
                      "3|14|relatorios|$base$\\dados\\|0|"}));
    // Only the replaced file is downloaded: the same entry object.
    EXPECT_EQ(dados.ArquivosRecuperar().at(0), dados.ItensSequencia()->Item(1));
    EXPECT_EQ(Campos(*dados.ArquivosOriginais().at(0)),
              "1|0|pelirana.exe||0|https://atualiza.exemplo/2.30/pelirana.exe|1000000|"
              "60303ae22b998861bce3b28f33eec1be758a213c86c93c076dbe9f558c11c752|1|");
  }
}

// Only the exact word "true" updates; without an update nothing past the
// decision is read, and section and key names are found in any letter case.
TEST(RecuperaDadosAtualizacaoTest, NoUpdateReadsOnlyTheDecision) {
  for (const std::string linha :
       {"atualizar=false", "atualizar = true", "atualizar=True", "atualizar=1"}) {
    const DadosAtualizacao dados =
        RecuperaDadosAtualizacao("[SequenciaAtualizacao]\nITENS=5\n" + linha +
                                 "\nversao=2.30\natualizar_atualizador=true \n");
    EXPECT_EQ(Resumo(dados), "0|1|2.30||5|0|0|0|0|") << linha;
  }
}

// Entries come in index order whatever the line order, a huge count costs
// nothing, and entries whose action is unknown or missing are skipped.
TEST(RecuperaDadosAtualizacaoTest, EntriesInIndexOrderSkippingUnknownActions) {
  const DadosAtualizacao dados = RecuperaDadosAtualizacao(Descritor(
      "2147483647", {"acao_2147483647=CriarPasta", "caminho_2147483647=b", "destino_2147483647=x",
                     "acao_9=RemoverPasta", "caminho_9=a", "destino_9=y", "acao_2=ExecutarMsi",
                     "acao_3=criarpasta", "acao_4=", "ACAO_5=CriarPasta", "caminho_5=c",
                     "DESTINO_5=z", "acao_06=CriarPasta"}));
  EXPECT_EQ(Itens(dados), (Textos{"5|14|c|z|0|", "9|13|a|y|0|", "2147483647|14|b|x|0|"}));
  EXPECT_EQ(Resumo(dados), "1|0|2|1|2147483647|0|3|0|0|");
}

// A descriptor with one file entry whose size and signature flag are given.
std::string ComArquivo(const std::string& tamanho, const std::string& authenticode = "1") {
  return Descritor("1", {"acao_1=CopiarNovoArquivo", "caminho_1=http://s/a.dll", "destino_1=x",
                         "tamanho_1=" + tamanho, "hash_1=h", "authenticode_1=" + authenticode,
                         "arquivo_atualizador_1=0"});
}

// Sizes round half to even; truth values are numbers or the words. Each
// case is "text=value".
TEST(RecuperaDadosAtualizacaoTest, ConvertsSizesAndTruthValues) {
  const auto le = [](const std::string& tamanho, const std::string& authenticode) {
    const auto arquivo =
        RecuperaDadosAtualizacao(ComArquivo(tamanho, authenticode)).ArquivosRecuperar().at(0);
    return std::to_string(arquivo->tamanho()) + "|" + std::to_string(arquivo->Authenticode());
  };
  for (const std::string caso :
       {"1234=1234", " 12=12", "+7=7", "-5=-5", "2.5=2", "3.5=4", "2.50001=3", "2.4999=2", ".5=0",
        "7.=7", "2147483647=2147483647", "-2147483648=-2147483648", "-2147483648.5=-2147483648",
        "00000000000000000042=42"}) {
    const size_t igual = caso.rfind('=');
    EXPECT_EQ(le(caso.substr(0, igual), "1"), caso.substr(igual + 1) + "|1");
  }
  for (const std::string caso :
       {"TRUE=1", " False=0", "0=0", "-1=1", "0.0=0", "0.5=1", "99999999999999=1"}) {
    const size_t igual = caso.rfind('=');
    EXPECT_EQ(le("1", caso.substr(0, igual)), "1|" + caso.substr(igual + 1));
  }
}

TEST(RecuperaDadosAtualizacaoTest, UnreadableDescriptorRaisesNamingSectionAndKey) {
  const std::string origem = "RecuperaDadosAtualizacao|";
  const std::string invalido = "5|" + origem + "Chamada de procedimento ou argumento inválido: ";
  const std::string na = "] na seção [sequenciaAtualizacao]";
  const auto falha = [&](const std::string& tipo, const std::string& valor,
                         const std::string& chave) {
    return tipo + ": valor [" + valor + "] da chave [" + chave + na;
  };
  const std::string tipos = "13|" + origem + "Tipos incompatíveis",
                    estouro = "6|" + origem + "Estouro";
  const std::string cabeca =
      "[sequenciaAtualizacao]\nitens=0\natualizar=true\nversao=2\natualizar_atualizador=false\n";
  const std::pair<std::string, std::string> casos[] = {
      {"", invalido + "seção [sequenciaAtualizacao] ausente"},
      {"[sequenciaAtualizacao]\nitens=0\natualizar=false\natualizar_atualizador=false\n",
       invalido + "chave [versao] ausente" + na.substr(1)},
      // The blank line hides the second section.
      {cabeca + "\n[arquivosOriginais]\nversao=1\nitens=0\n",
       invalido + "seção [arquivosOriginais] ausente"},
      {Descritor("1", {"acao_1=RemoverArquivo", "caminho_1=http://s/a.dll", "destino_1=x",
                       "tamanho_1=0", "hash_1=", "authenticode_1=false"}),
       invalido + "chave [arquivo_atualizador_1] ausente" + na.substr(1)},
      {cabeca + "[arquivosOriginais]\nversao=1\nitens=2147483647\ncaminho_1=http://s/a.dll\n"
                "tamanho_1=1\nhash_1=h\nauthenticode_1=1\n",
       invalido + "chave [caminho_2] ausente na seção [arquivosOriginais]"},
      {"[sequenciaAtualizacao]\nitens=três\natualizar=false\nversao=2\n",
       falha(tipos, "três", "itens")},
      {"[sequenciaAtualizacao]\nitens=\natualizar=false\nversao=2\n", falha(tipos, "", "itens")},
      {ComArquivo("1e3"), falha(tipos, "1e3", "tamanho_1")},
      {ComArquivo("-"), falha(tipos, "-", "tamanho_1")},
      {ComArquivo("2147483648"), falha(estouro, "2147483648", "tamanho_1")},
      {ComArquivo("2147483647.5"), falha(estouro, "2147483647.5", "tamanho_1")},
      {ComArquivo("-2147483649"), falha(estouro, "-2147483649", "tamanho_1")},
      {ComArquivo("123456789012345678901234567890"),
       falha(estouro, "123456789012345678901234567890", "tamanho_1")},
      {ComArquivo("1", "sim"), falha(tipos, "sim", "authenticode_1")}};
  for (const auto& [conteudo, erro] : casos) {
    EXPECT_EQ(ErroDe([&] { RecuperaDadosAtualizacao(conteudo); }), erro);
  }
}

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

// The common forms, with a port and without, are read back through the
// entries of the descriptors and the runs of the whole program.
TEST(NomeArquivoUrlTest, TakesTheFileNamePart) {
  EXPECT_EQ(NomeArquivoUrl("http://s.exemplo/baixa.aspx?arquivo=app.dll"),
            "baixa.aspx?arquivo=app.dll");
  for (const char* semNome : {"http://servidor.exemplo", "http://servidor.exemplo:8080",
                              "http://servidor.exemplo/tarvik/", "C:\\tarvik\\app.dll", ""}) {
    EXPECT_EQ(NomeArquivoUrl(semNome), "") << semNome;
  }
}

// The base folder may itself hold the marker: it is not replaced again.
// Spaces around either part of a join go, tabs stay, and at least one
// backslash joins. The common cases are read back in the scripts' listings.
TEST(CaminhosTest, InstalledAndWorkingNamesAndJoins) {
  EXPECT_EQ(ObtemNomeArquivoInstalado("C:\\app", "$BASE$\\", "x.mdb"), "$BASE$\\x.mdb");
  EXPECT_EQ(ObtemNomeArquivoInstalado("C:\\app", "$base$\\$base$\\", "x"), "C:\\app\\C:\\app\\x");
  EXPECT_EQ(ObtemNomeArquivoInstalado("C:\\app", "modulos", "x.dll"), "modulosx.dll");
  EXPECT_EQ(ObtemNomeArquivoInstalado("$base$", "$base$$base$\\", "x"), "$base$$base$\\x");
  EXPECT_EQ(ObtemNomeArquivoInstalado("C:\\app", "", "x.dll"), "x.dll");
  EXPECT_EQ(ObtemNomeArquivoTemporario("backup\\", "app.dll", "", -2), "backup\\app.dll---2");
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
