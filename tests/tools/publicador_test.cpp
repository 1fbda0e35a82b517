// The publisher on pairs of release trees: the whole descriptor it writes,
// the files it puts in the catalogue, the releases it refuses, and the round
// trip from the publisher through the reference server to Tarvik.exe.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "base/erro.h"
#include "e2e/instalacao_e2e.h"
#include "e2e/servidor_atualizacao.h"
#include "platform/authenticode/pe_builder.h"
#include "publicador/descritor_publicado.h"
#include "publicador/publicacao.h"
#include "publicador/recusa_publicacao.h"
#include "servidor_referencia/banco_relatorios.h"
#include "support/arvore_arquivos.h"
#include "tools/servidor_em_teste.h"

namespace tarvik::publicacao {
namespace {

namespace fs = std::filesystem;
using teste::Descritor;
using teste::kPasta;

// A release tree as `ArvoreArquivos` reads it: relative paths, each with its
// content or `kPasta`.
using Arvore = std::map<std::string, std::string>;

// Creates the entries of `arvore` under `raiz`, which is created too.
void CriaArvore(const fs::path& raiz, const Arvore& arvore) {
  fs::create_directories(raiz);
  for (const auto& [caminho, conteudo] : arvore) {
    if (conteudo == kPasta) fs::create_directories(raiz / caminho);
    if (conteudo != kPasta) teste::EscreveArquivo(raiz / caminho, conteudo);
  }
}

// A minimal PE image; with `assinada`, it carries a certificate table whose
// content is no real signature: one WIN_CERTIFICATE header of revision 2.0,
// PKCS#7 type, and 8 bytes.
std::string ImagemPe(bool assinada) {
  using teste::PeFormat, teste::PutLe, teste::SecurityEntryOffset;
  std::string imagem = teste::BuildPeImage(PeFormat::kPe32, 512);
  if (!assinada) return imagem;
  PutLe(imagem, SecurityEntryOffset(PeFormat::kPe32), static_cast<uint32_t>(imagem.size()));
  PutLe(imagem, SecurityEntryOffset(PeFormat::kPe32) + 4, 16);
  return imagem + std::string("\x10\0\0\0\0\x02\x02\0assinado", 16);
}

// The message of the refusal that `publica` meets.
std::string Recusa(const std::function<void()>& publica) {
  try {
    publica();
  } catch (const RecusaPublicacao& recusa) {
    return recusa.what();
  }
  return "aceito";
}

class PublicadorTest : public ::testing::Test {
 protected:
  void Versoes(const Arvore& instalada, const Arvore& nova) {
    fs::remove_all(parametros_.instalada);
    fs::remove_all(parametros_.nova);
    CriaArvore(parametros_.instalada, instalada);
    CriaArvore(parametros_.nova, nova);
  }
  // The refusal that publishing `nova` after `instalada` meets, with
  // `ajuste` made to the parameters. A refused release leaves nothing behind.
  std::string RecusaDe(const Arvore& instalada, const Arvore& nova,
                       const std::function<void(ParametrosPublicacao&)>& ajuste = {}) {
    Versoes(instalada, nova);
    ParametrosPublicacao parametros = parametros_;
    if (ajuste) ajuste(parametros);
    const std::string mensagem = Recusa([&] { Publica(parametros); });
    EXPECT_FALSE(fs::exists(parametros.catalogo)) << mensagem;
    return mensagem;
  }

  teste::PastaTemporaria pasta_;
  ParametrosPublicacao parametros_{.instalada = pasta_.Caminho() / "2.30",
                                   .versaoInstalada = "2.30",
                                   .nova = pasta_.Caminho() / "2.31",
                                   .versaoNova = "2.31",
                                   .url = "http://atualiza.exemplo:8080/arquivos/",
                                   .catalogo = pasta_.Caminho() / "catálogo"};
};

// The update from one release to the next, as published, and as the
// reference server on 127.0.0.1 serves it to the built Tarvik.exe, which
// applies it to an installation of the old release.
TEST_F(PublicadorTest, WritesEveryActionInTheOrderTheUpdaterNeedsAndTheUpdaterAppliesThem) {
  // The stand-in application records each start in the installation.
  const auto aplicativo = [](const std::string& versao) {
    return "#!/bin/sh\necho \"" + versao + " iniciado\" >> \"$(dirname \"$0\")/executou\"\n";
  };
  Versoes({{"pelirana.exe", aplicativo("2.30")},
           {"leia me.txt", "igual"},
           {"docs/manual.txt", "manual"},
           {"antigo/obsoleto.dll", "obsoleto"},
           {"antigo/sub/vazia", kPasta},
           {"dados/config.ini", "a=1"}},
          {{"pelirana.exe", aplicativo("2.31")},
           {"leia me.txt", "igual"},
           {"docs/manual.txt", "manual"},
           {"Relatórios/Mensal/março.txt", "vendas de março"},
           {"Relatórios/resumo anual.txt", "resumo do ano"},
           {"dados/config.ini", "a=2"}});
  // The server serves only a catalogue that exists; the URL to publish with
  // is known once it listens.
  std::filesystem::create_directories(parametros_.catalogo / "descritores");
  referencia::ConfiguracaoServidor configuracao;
  configuracao.catalogo = parametros_.catalogo;
  configuracao.banco = pasta_.Em("relatórios.db");
  teste::ServidorEmTeste servidor(configuracao);
  parametros_.url = servidor.Url() + "/arquivos/";
  const Publicacao publicacao = Publica(parametros_);

  const std::string url = servidor.Url() + "/arquivos/aplicativo/";
  // The descriptor as the updater decodes it.
  EXPECT_EQ(
      DeCp1252(teste::LeArquivo(publicacao.descritor)),
      Descritor("2.31", false,
                {{"CriarPasta", "Relatórios"},
                 {"CriarPasta", "Mensal", "$base$\\Relatórios\\"},
                 {"CopiarNovoArquivo", url + "2.31/Relatórios/Mensal/março.txt",
                  "$base$\\Relatórios\\Mensal\\", "vendas de março"},
                 {"CopiarNovoArquivo", url + "2.31/Relatórios/resumo anual.txt",
                  "$base$\\Relatórios\\", "resumo do ano"},
                 {"SubstituirArquivo", url + "2.31/dados/config.ini", "$base$\\dados\\", "a=2"},
                 {"SubstituirArquivo", url + "2.31/pelirana.exe", "$base$\\", aplicativo("2.31")},
                 {"RemoverArquivo", url + "2.30/antigo/obsoleto.dll", "$base$\\antigo\\"},
                 {"RemoverPasta", "vazia", "$base$\\antigo\\sub\\"},
                 {"RemoverPasta", "sub", "$base$\\antigo\\"},
                 {"RemoverPasta", "antigo"}},
                "2.30",
                {{url + "2.30/antigo/obsoleto.dll", "obsoleto"},
                 {url + "2.30/dados/config.ini", "a=1"},
                 {url + "2.30/pelirana.exe", aplicativo("2.30")}}));
  // Only the new and changed files are served, and the catalogue holds
  // nothing else, no temporary file in particular.
  EXPECT_EQ(
      teste::ArvoreArquivos(parametros_.catalogo),
      (Arvore{{"arquivos", kPasta},
              {"arquivos/aplicativo", kPasta},
              {"arquivos/aplicativo/2.31", kPasta},
              {"arquivos/aplicativo/2.31/Relatórios", kPasta},
              {"arquivos/aplicativo/2.31/Relatórios/Mensal", kPasta},
              {"arquivos/aplicativo/2.31/Relatórios/Mensal/março.txt", "vendas de março"},
              {"arquivos/aplicativo/2.31/Relatórios/resumo anual.txt", "resumo do ano"},
              {"arquivos/aplicativo/2.31/dados", kPasta},
              {"arquivos/aplicativo/2.31/dados/config.ini", "a=2"},
              {"arquivos/aplicativo/2.31/pelirana.exe", aplicativo("2.31")},
              {"descritores", kPasta},
              {"descritores/aplicativo", kPasta},
              {"descritores/aplicativo/2.30", kPasta},
              {"descritores/aplicativo/2.30/2.31.txt", teste::LeArquivo(publicacao.descritor)}}));
  EXPECT_EQ(publicacao.copiados, 4u);

  // The installation holds the old release beside the updater.
  teste::InstalacaoE2E instalacao;
  fs::permissions(parametros_.instalada / "pelirana.exe", fs::perms::owner_all);
  fs::copy(parametros_.instalada, instalacao.Pasta(),
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  instalacao.Configuracao(ParaCp1252(
      "[Configuracao]\r\nversao=2.30\r\nid_instalador={6F9619FF-8B86-D011-B42D-00C04FC964FF}\r\n"
      "url=" +
      servidor.Url() +
      "/tarvik/VerificaAtualizacao.aspx\r\n"
      "conta=Padaria São João & Filhos\r\ncnpj=12.345.678/0001-90\r\n"));
  const auto resultado = instalacao.Executa();
  EXPECT_EQ(resultado.status, 0);
  EXPECT_EQ(resultado.erros, "");
  ASSERT_TRUE(instalacao.AplicativoIniciado());
  EXPECT_EQ(teste::LeArquivo(instalacao.Em("executou")), "2.31 iniciado\n");
  // Byte for byte the new release, apart from what the updater keeps: its
  // programs, its log (which the tree leaves out), its lock, its control
  // file, its working folders, and what the application records.
  Arvore atualizada = teste::ArvoreArquivos(instalacao.Pasta());
  std::erase_if(atualizada, [](const auto& entrada) {
    const std::string& relativo = entrada.first;
    const std::string pasta = relativo.substr(0, relativo.find('/'));
    return pasta == "temp" || pasta == "backup" || relativo == "Tarvik.exe" ||
           relativo == "executa-lote" || relativo == "atualizador.trava" ||
           relativo == "dados/atualiza.txt" || relativo == "executou";
  });
  EXPECT_EQ(atualizada, teste::ArvoreArquivos(parametros_.nova));
  // The report, which tells the update's outcome, reached the server whole.
  servidor.Para();
  const auto relatorios =
      referencia::AbreBanco(configuracao.banco, referencia::BancoRelatorios::Modo::kLeitura)
          ->Lista();
  ASSERT_EQ(relatorios.size(), 1u);
  EXPECT_EQ(relatorios[0].resultado, "SucessoInstalacao");
  EXPECT_EQ(relatorios[0].conta, "Padaria São João & Filhos");
}

TEST_F(PublicadorTest, UpdaterFilesAreMarkedAsSuch) {
  parametros_.produto = Produto::kAtualizador;
  parametros_.versaoInstalada = "4.00";
  parametros_.versaoNova = "4.01";
  Versoes({{"Tarvik.exe", "atualizador 4.00"}, {"lib/velho.dll", "obsoleto"}},
          {{"Tarvik.exe", "atualizador 4.01"}, {"lib", kPasta}});
  const std::string url = "http://atualiza.exemplo:8080/arquivos/atualizador/";
  EXPECT_EQ(DeCp1252(teste::LeArquivo(Publica(parametros_).descritor)),
            Descritor("4.01", true,
                      {{"SubstituirArquivo", url + "4.01/Tarvik.exe", "$base$\\",
                        "atualizador 4.01", true},
                       {"RemoverArquivo", url + "4.00/lib/velho.dll", "$base$\\lib\\", "", true}},
                      "4.00",
                      {{url + "4.00/Tarvik.exe", "atualizador 4.00"},
                       {url + "4.00/lib/velho.dll", "obsoleto"}}));
}

TEST_F(PublicadorTest, SignatureRequestFollowsTheImagesAndTheMode) {
  const std::string assinado = ImagemPe(true);
  Versoes({{"antigo.dll", assinado}}, {{"assinado.dll", assinado},
                                       {"sem assinatura.exe", ImagemPe(false)},
                                       {"texto.exe", "MZ, mas não PE"}});
  // The new files in path order, then the original one.
  for (const auto& [modo, pedidos] :
       {std::pair{ModoAuthenticode::kAutomatico, std::vector{true, false, false, true}},
        std::pair{ModoAuthenticode::kNunca, std::vector{false, false, false, false}}}) {
    parametros_.authenticode = modo;
    const PlanoAtualizacao plano = PlanejaAtualizacao(parametros_);
    std::vector<bool> obtidos;
    for (size_t i = 0; i < 3; ++i) obtidos.push_back(plano.sequencia[i].authenticode);
    obtidos.push_back(plano.originais.at(0).authenticode);
    EXPECT_EQ(obtidos, pedidos);
  }
}

TEST_F(PublicadorTest, RepublishingKeepsServedFilesAndRefusesOtherContent) {
  Versoes({{"a.txt", "1"}}, {{"a.txt", "2"}});
  EXPECT_EQ(Publica(parametros_).copiados, 1u);
  // Another installed version to the same new one shares the served file.
  parametros_.instalada = pasta_.Caminho() / "2.29";
  parametros_.versaoInstalada = "2.29";
  CriaArvore(parametros_.instalada, {{"a.txt", "0"}, {"b.txt", "b"}});
  EXPECT_EQ(Publica(parametros_).copiados, 0u);
  EXPECT_TRUE(fs::exists(parametros_.catalogo / "descritores/aplicativo/2.29/2.31.txt"));

  // The served file of 2.31 may not change under the descriptors that name it.
  teste::EscreveArquivo(parametros_.nova / "a.txt", "outro");
  const auto catalogo = teste::ArvoreArquivos(parametros_.catalogo);
  EXPECT_EQ(Recusa([&] { Publica(parametros_); }),
            "a versão 2.31 já foi publicada com outro conteúdo em [" +
                (parametros_.catalogo / "arquivos/aplicativo/2.31/a.txt").string() + "]");
  EXPECT_EQ(teste::ArvoreArquivos(parametros_.catalogo), catalogo);
}

TEST_F(PublicadorTest, RefusesWhatAnInstallationCouldNotReadOrApply) {
  using P = ParametrosPublicacao;
  const std::string nova = parametros_.nova.string() + "/";
  for (const auto& [arquivo, motivo] :
       {std::pair{"a:b.txt", "tem caractere que o Windows não aceita em nomes [:]"},
        {"100%.txt", "tem caractere que não passa numa URL [%]"},
        {"leia.", "termina em espaço ou ponto"},
        {"sub/Con.txt", "é nome reservado do Windows"},
        {"$base$.txt", "contém o marcador $base$"}}) {
    EXPECT_EQ(
        RecusaDe({}, {{arquivo, "x"}}),
        "nome que não se pode publicar (" + std::string(motivo) + ") [" + nova + arquivo + "]");
  }
  // An installed name counts as much as a new one.
  EXPECT_EQ(RecusaDe({{"boneco ☃.txt", "x"}}, {}),
            "nome que não se pode publicar (tem caractere fora da página de código 1252) [" +
                parametros_.instalada.string() + "/boneco ☃.txt]");
  EXPECT_EQ(RecusaDe({}, {{"a.txt", "1"}, {"A.txt", "2"}}),
            "nomes que diferem só em maiúsculas e minúsculas [A.txt] e [a.txt] em [" +
                parametros_.nova.string() + "]");
  EXPECT_EQ(RecusaDe({{"Leia.txt", "1"}}, {{"leia.txt", "1"}}),
            "[Leia.txt] passa a se chamar [leia.txt], mudando só maiúsculas e minúsculas, o que o "
            "Windows não aplica a um nome existente");
  EXPECT_EQ(RecusaDe({{"x", "1"}}, {{"x/y", "1"}}),
            "[x] é arquivo numa versão e pasta na outra; publique a remoção numa versão "
            "intermediária");
  EXPECT_EQ(RecusaDe({}, {{"Temp/a.txt", "1"}}),
            "a pasta [temp] da instalação é de trabalho do atualizador [Temp]");
  EXPECT_EQ(RecusaDe({}, {{"plugins/a.dll", "1"}}, [](P& p) { p.produto = Produto::kAtualizador; }),
            "uma atualização do atualizador não cria nem remove pastas [plugins]");
  // Sparse: nothing of it is written or read.
  EXPECT_EQ(
      RecusaDe({}, {{"grande.bin", ""}},
               [](P& p) { fs::resize_file(p.nova / "grande.bin", uint64_t{1} << 31); }),
      "arquivo grande demais para o descritor, que registra até 2147483647 bytes [grande.bin]");
  EXPECT_EQ(RecusaDe({}, {{"app.exe", ImagemPe(false)}},
                     [](P& p) { p.authenticode = ModoAuthenticode::kExigido; }),
            "executável sem assinatura [app.exe]");
  EXPECT_EQ(RecusaDe({}, {}, [](P& p) { p.versaoNova = "2.31 beta"; }),
            "versão inválida [2.31 beta]: use de 1 a 64 letras, dígitos, '.', '_' ou '-', "
            "começando por letra ou dígito");
  EXPECT_EQ(RecusaDe({}, {}, [](P& p) { p.versaoNova = "2.4"; }),
            "a versão nova [2.4] não é posterior à instalada [2.30]");
  EXPECT_EQ(RecusaDe({}, {}, [](P& p) { p.url = "ftp://exemplo/"; }),
            "URL inválida [ftp://exemplo]: não começa com http:// ou https://");
  EXPECT_EQ(RecusaDe({}, {}, [](P& p) { p.url = "http://exemplo/a b"; }),
            "URL inválida [http://exemplo/a b]: caractere [ ] não pode estar na URL");
  EXPECT_EQ(RecusaDe({}, {}, [](P& p) { p.url = "https:///arquivos"; }),
            "URL inválida [https:///arquivos]: falta o servidor");
  EXPECT_EQ(RecusaDe({}, {}, [](P& p) { p.nova /= "nada"; }),
            "a versão não é uma pasta [" + nova + "nada]");
}

TEST_F(PublicadorTest, ReadBackCheckCatchesWhatTheUpdaterWouldReadOtherwise) {
  Versoes({{"a.txt", "1"}}, {{"a.txt", "2"}});
  const PlanoAtualizacao plano = PlanejaAtualizacao(parametros_);
  const std::string descritor = EscreveDescritor(plano);
  const std::string difere = "o descritor lido de volta difere em item 1 ";
  // Faults of the writer, made by hand; what the writer itself makes passes
  // the check in every publication.
  const std::pair<std::function<void(EntradaDescritor&)>, std::string> casos[] = {
      {[](EntradaDescritor& e) { e.caminho = "http://exemplo/a.txt:1"; },
       difere + "(caminho instalado): lido [C:\\TARVIK\\], esperado [C:\\TARVIK\\a.txt]"},
      {[](EntradaDescritor& e) { e.destino = "$base$"; },
       difere + "(caminho instalado): lido [C:\\TARVIKa.txt], esperado [C:\\TARVIK\\a.txt]"},
      {[](EntradaDescritor& e) { e.acao = 14; }, difere + "(ação): lido [14], esperado [9]"},
  };
  for (const auto& [erro, mensagem] : casos) {
    PlanoAtualizacao errado = plano;
    erro(errado.sequencia[0]);
    EXPECT_EQ(Recusa([&] { ConfereDescritor(EscreveDescritor(errado), plano); }), mensagem);
  }
  // A text the updater cannot parse at all: a blank line hides the originals.
  const size_t originais = descritor.find("[arquivosOriginais]");
  EXPECT_THROW(ConfereDescritor(
                   descritor.substr(0, originais) + "\r\n" + descritor.substr(originais), plano),
               Erro);
}

}  // namespace
}  // namespace tarvik::publicacao
