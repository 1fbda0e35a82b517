// The round trip: the publisher writes the update from one release to the
// next, the reference server serves it on 127.0.0.1, and the built
// Tarvik.exe applies it to an installation of the old release.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "publicador/publicacao.h"
#include "servidor_referencia/banco_relatorios.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"
#include "tools/arvores_teste.h"
#include "tools/servidor_em_teste.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using Linhas = std::vector<std::string>;
using teste::Arvore;

// The stand-in application records each start in the installation.
std::string Aplicativo(const std::string& versao) {
  return "#!/bin/sh\necho \"" + versao + " iniciado\" >> \"$(dirname \"$0\")/aplicativo.txt\"\n";
}

// What the updater itself keeps in an installation: its program, its log,
// its control file, its working folders, and what the application records.
bool DoAtualizador(const std::string& relativo) {
  static const std::vector<std::string> kProprios = {
      "Tarvik.exe", "registro.log", "dados/atualiza.txt", "aplicativo.txt", "temp/", "backup/"};
  return std::any_of(kProprios.begin(), kProprios.end(), [&](const std::string& proprio) {
    return relativo == proprio || (proprio.ends_with('/') && relativo.starts_with(proprio));
  });
}

Linhas LinhasRegistro(const fs::path& arquivo) {
  static const std::regex kDataHora(R"(^\d\d/\d\d/\d{4}( \d\d:\d\d:\d\d)? - )");
  const std::string texto = DeCp1252(teste::LeArquivo(arquivo));
  Linhas linhas;
  size_t inicio = 0;
  for (size_t fim; (fim = texto.find("\r\n", inicio)) != std::string::npos; inicio = fim + 2) {
    linhas.push_back(
        std::regex_replace(texto.substr(inicio, fim - inicio), kDataHora, "<data> - "));
  }
  return linhas;
}

TEST(IdaEVoltaTest, TheUpdaterAppliesWhatThePublisherPublished) {
  teste::PastaTemporaria raiz;
  const Arvore instalada = {{"pelirana.exe", Aplicativo("2.30")},
                            {"leia me.txt", "igual nas duas"},
                            {"docs/manual.txt", "manual"},
                            {"antigo/obsoleto.dll", "obsoleto"},
                            {"antigo/manual antigo.txt", "removido"},
                            {"antigo/sub/vazia/", ""},
                            {"dados/config.ini", "a=1"}};
  const Arvore nova = {{"pelirana.exe", Aplicativo("2.31")},
                       {"leia me.txt", "igual nas duas"},
                       {"docs/manual.txt", "manual revisto"},
                       {"Relatórios/Mensal/março.txt", "vendas de março"},
                       {"Relatórios/resumo_anual.txt", "resumo do ano"},
                       {"dados/config.ini", "a=2"},
                       {"dados/vazia/", ""}};
  teste::CriaArvore(raiz.Caminho() / "2.30", instalada);
  teste::CriaArvore(raiz.Caminho() / "2.31", nova);
  fs::permissions(raiz.Caminho() / "2.30/pelirana.exe", fs::perms::owner_all);

  referencia::ConfiguracaoServidor configuracao;
  configuracao.catalogo = raiz.Caminho() / "catálogo";
  configuracao.banco = raiz.Caminho() / "relatórios.db";
  teste::ServidorEmTeste servidor(configuracao);
  publicacao::Publica({.instalada = raiz.Caminho() / "2.30",
                       .versaoInstalada = "2.30",
                       .nova = raiz.Caminho() / "2.31",
                       .versaoNova = "2.31",
                       .url = servidor.Servidor().Url() + "/arquivos",
                       .catalogo = configuracao.catalogo});

  // The installation: the old release, the updater beside it, and the
  // configuration in its own Windows directory.
  const fs::path instalacao = raiz.Caminho() / "Instalação TARVIK";
  fs::copy(raiz.Caminho() / "2.30", instalacao, fs::copy_options::recursive);
  fs::copy_file(teste::PastaBinarios() / "Tarvik.exe", instalacao / "Tarvik.exe");
  const fs::path windir = raiz.Caminho() / "windows";
  teste::EscreveArquivo(
      windir / "atualizador.ini",
      ParaCp1252("[Configuracao]\r\nversao=2.30\r\nbase=\r\n"
                 "id_instalador={6F9619FF-8B86-D011-B42D-00C04FC964FF}\r\n"
                 "url=" +
                 servidor.Servidor().Url() +
                 "/tarvik/VerificaAtualizacao.aspx\r\n"
                 "conta=Padaria São João & Filhos\r\ncnpj=12.345.678/0001-90\r\n"));
  const auto executa = [&] {
    return teste::Executa(instalacao / "Tarvik.exe", {}, instalacao,
                          {{"WINDIR", windir.string()}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
  };

  const auto primeira = executa();
  EXPECT_EQ(primeira.status, 0) << primeira.erros;
  EXPECT_EQ(primeira.erros, "");
  ASSERT_TRUE(teste::AguardaArquivo(instalacao / "aplicativo.txt"));
  EXPECT_EQ(teste::LeArquivo(instalacao / "aplicativo.txt"), "2.31 iniciado\n");

  // Byte for byte the new release, apart from what the updater keeps.
  Arvore atualizada = teste::LeArvore(instalacao);
  std::erase_if(atualizada, [](const auto& entrada) { return DoAtualizador(entrada.first); });
  EXPECT_EQ(atualizada, teste::LeArvore(raiz.Caminho() / "2.31"));
  const Linhas registro = LinhasRegistro(instalacao / "registro.log");
  EXPECT_NE(std::find(registro.begin(), registro.end(),
                      "<data> - INFO - Sucesso na atualização do TARVIK"),
            registro.end());

  // The second run comes within the day: no check is due. (How many days
  // remain depends on whether midnight passed between the runs.)
  fs::remove(instalacao / "registro.log");
  const auto segunda = executa();
  EXPECT_EQ(segunda.status, 0) << segunda.erros;
  Linhas semVerificacao = LinhasRegistro(instalacao / "registro.log");
  for (std::string& linha : semVerificacao) {
    linha = std::regex_replace(linha, std::regex("em [12] dia"), "em N dia");
  }
  EXPECT_EQ(semVerificacao,
            (Linhas{"<data> - INFO - Inicio",
                    "<data> - INFO - Atualização não necessária agora. Será em N dia(s)",
                    "<data> - INFO - Fim (não buscou nova versão)"}));

  servidor.Para();
  Linhas pedidos = servidor.Registro();
  std::sort(pedidos.begin(), pedidos.end());
  const std::string verificacao = "127.0.0.1 \"GET /tarvik/VerificaAtualizacao.aspx?";
  const std::string arquivos = "127.0.0.1 \"GET /arquivos/aplicativo/2.31/";
  const std::string relatorio =
      verificacao +
      "operacao=resultado&chave=%7B6F9619FF-8B86-D011-B42D-00C04FC964FF%7D&data=<data>&resultado="
      "SucessoInstalacao"
      "&versao_original=2.30&versao_atualizada=2.31&conta=Padaria%20S%C3%A3o%20Jo%C3%A3o%20&%"
      "20Filhos"
      "&cnpj=12.345.678/0001-90\" 200 relatório SucessoInstalacao de 2.30 para 2.31 gravado";
  for (std::string& pedido : pedidos)
    pedido = std::regex_replace(pedido, std::regex("&data=\\d{14}&"), "&data=<data>&");
  EXPECT_EQ(
      pedidos,
      (Linhas{
          arquivos + "Relat%C3%B3rios/Mensal/mar%C3%A7o.txt\" 200",
          arquivos + "Relat%C3%B3rios/resumo_anual.txt\" 200", arquivos + "dados/config.ini\" 200",
          arquivos + "docs/manual.txt\" 200", arquivos + "pelirana.exe\" 200", relatorio,
          verificacao + "versaoAplicativo=2.30\" 200 aplicativo 2.30 -> 2.31",
          verificacao + "versaoAplicativo=4.00&atualizador=on\" 200 atualizador 4.00: versão sem "
                        "atualização publicada"}));

  const auto relatorios =
      referencia::BancoRelatorios(configuracao.banco, referencia::BancoRelatorios::Modo::kLeitura)
          .Lista();
  ASSERT_EQ(relatorios.size(), 1u);
  EXPECT_EQ(relatorios[0].conta, "Padaria São João & Filhos");
  EXPECT_TRUE(relatorios[0].informacaoCliente.starts_with("<atualizador "))
      << relatorios[0].informacaoCliente;
}

}  // namespace
}  // namespace tarvik
