// The round trip: the publisher writes the update from one release to the
// next, the reference server serves it on 127.0.0.1, and the built
// Tarvik.exe applies it to an installation of the old release.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "base/cp1252.h"
#include "e2e/instalacao_e2e.h"
#include "publicador/publicacao.h"
#include "servidor_referencia/banco_relatorios.h"
#include "tools/arvores_teste.h"
#include "tools/servidor_em_teste.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using teste::Arvore;

// The stand-in application records each start in the installation.
std::string Aplicativo(const std::string& versao) {
  return "#!/bin/sh\necho \"" + versao + " iniciado\" >> \"$(dirname \"$0\")/aplicativo.txt\"\n";
}

TEST(IdaEVoltaTest, TheUpdaterAppliesWhatThePublisherPublished) {
  teste::PastaTemporaria raiz;
  teste::CriaArvore(raiz.Caminho() / "2.30", {{"pelirana.exe", Aplicativo("2.30")},
                                              {"leia me.txt", "igual nas duas"},
                                              {"docs/manual.txt", "manual"},
                                              {"antigo/obsoleto.dll", "obsoleto"},
                                              {"antigo/manual antigo.txt", "removido"},
                                              {"antigo/sub/vazia", teste::kPasta},
                                              {"dados/config.ini", "a=1"}});
  teste::CriaArvore(raiz.Caminho() / "2.31", {{"pelirana.exe", Aplicativo("2.31")},
                                              {"leia me.txt", "igual nas duas"},
                                              {"docs/manual.txt", "manual revisto"},
                                              {"Relatórios/Mensal/março.txt", "vendas de março"},
                                              {"Relatórios/resumo_anual.txt", "resumo do ano"},
                                              {"dados/config.ini", "a=2"},
                                              {"dados/vazia", teste::kPasta}});
  referencia::ConfiguracaoServidor configuracao;
  configuracao.catalogo = raiz.Caminho() / "catálogo";
  configuracao.banco = raiz.Caminho() / "relatórios.db";
  teste::ServidorEmTeste servidor(configuracao);
  publicacao::Publica({.instalada = raiz.Caminho() / "2.30",
                       .versaoInstalada = "2.30",
                       .nova = raiz.Caminho() / "2.31",
                       .versaoNova = "2.31",
                       .url = servidor.Url() + "/arquivos",
                       .catalogo = configuracao.catalogo});

  // The installation holds the old release beside the updater.
  teste::InstalacaoE2E instalacao;
  fs::permissions(raiz.Caminho() / "2.30/pelirana.exe", fs::perms::owner_all);
  fs::copy(raiz.Caminho() / "2.30", instalacao.Pasta(),
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  instalacao.Configuracao(
      ParaCp1252("[Configuracao]\r\nversao=2.30\r\nbase=\r\n"
                 "id_instalador={6F9619FF-8B86-D011-B42D-00C04FC964FF}\r\nurl=" +
                 servidor.Url() +
                 "/tarvik/VerificaAtualizacao.aspx\r\n"
                 "conta=Padaria São João & Filhos\r\ncnpj=12.345.678/0001-90\r\n"));
  const auto resultado = instalacao.Executa();
  EXPECT_EQ(resultado.status, 0);
  EXPECT_EQ(resultado.erros, "");
  ASSERT_TRUE(instalacao.AplicativoIniciado());
  EXPECT_EQ(teste::LeArquivo(instalacao.Em("aplicativo.txt")), "2.31 iniciado\n");

  // Byte for byte the new release, apart from what the updater keeps: its
  // programs, its log (which the tree leaves out), its control file, its
  // working folders, and what the application records.
  Arvore atualizada = teste::ArvoreArquivos(instalacao.Pasta());
  std::erase_if(atualizada, [](const auto& entrada) {
    const std::string& relativo = entrada.first;
    const std::string pasta = relativo.substr(0, relativo.find('/'));
    return pasta == "temp" || pasta == "backup" || relativo == "Tarvik.exe" ||
           relativo == "executa-lote" || relativo == "dados/atualiza.txt" ||
           relativo == "aplicativo.txt";
  });
  EXPECT_EQ(atualizada, teste::ArvoreArquivos(raiz.Caminho() / "2.31"));
  const auto registro = instalacao.LinhasRegistro();
  EXPECT_EQ(std::count(registro.begin(), registro.end(),
                       "<data> - INFO - Sucesso na atualização do TARVIK"),
            1);

  // The report reached the server whole.
  servidor.Para();
  const auto relatorios =
      referencia::BancoRelatorios(configuracao.banco, referencia::BancoRelatorios::Modo::kLeitura)
          .Lista();
  ASSERT_EQ(relatorios.size(), 1u);
  EXPECT_EQ(relatorios[0].resultado, "SucessoInstalacao");
  EXPECT_EQ(relatorios[0].conta, "Padaria São João & Filhos");
  EXPECT_TRUE(relatorios[0].informacaoCliente.starts_with("<atualizador "))
      << relatorios[0].informacaoCliente;
}

}  // namespace
}  // namespace tarvik
