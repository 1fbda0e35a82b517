// publicador: publishes the update from one release of a product to the
// next into an update catalogue: the descriptor the updater reads and the
// files it downloads.

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "ferramenta/ferramenta.h"
#include "publicador/publicacao.h"

namespace tarvik::publicacao {
namespace {

constexpr char kUso[] =
    "uso: publicador --instalada PASTA --versao-instalada VERSAO\n"
    "                --nova PASTA --versao-nova VERSAO\n"
    "                --url URL --catalogo PASTA\n"
    "                [--atualizador] [--authenticode automatico|exigido|nunca]\n"
    "\n"
    "Compara a versão instalada de um produto com a nova e publica no catálogo\n"
    "o descritor da atualização e os arquivos novos e alterados. --url é o\n"
    "endereço em que a pasta arquivos/ do catálogo é servida. --atualizador\n"
    "publica os arquivos do próprio atualizador. --authenticode diz de quais\n"
    "executáveis PE o atualizador verifica a assinatura: dos assinados\n"
    "(automatico), de todos, recusando os sem assinatura (exigido), ou de\n"
    "nenhum.\n";

constexpr std::string_view kObrigatorias[] = {
    "--instalada", "--versao-instalada", "--nova", "--versao-nova", "--url", "--catalogo"};

std::optional<ModoAuthenticode> LeModo(const std::string& texto) {
  if (texto.empty() || texto == "automatico") return ModoAuthenticode::kAutomatico;
  if (texto == "exigido") return ModoAuthenticode::kExigido;
  if (texto == "nunca") return ModoAuthenticode::kNunca;
  return std::nullopt;
}

void Relata(const Publicacao& publicacao) {
  const PlanoAtualizacao& plano = publicacao.plano;
  std::printf("%s %s -> %s: %zu itens, %zu arquivos originais\n",
              std::string(NomeProduto(plano.produto)).c_str(), plano.versaoInstalada.c_str(),
              plano.versaoNova.c_str(), plano.sequencia.size(), plano.originais.size());
  int n = 0;
  for (const EntradaDescritor& entrada : plano.sequencia) {
    std::printf("  %3d %-18s %s\n", ++n, NomeAcao(entrada.acao).c_str(), entrada.relativo.c_str());
  }
  std::printf("descritor: %s\n", publicacao.descritor.string().c_str());
  std::printf("arquivos:  %s (%zu copiados agora)\n", publicacao.arquivos.string().c_str(),
              publicacao.copiados);
}

int Principal(const std::vector<std::string>& palavras) {
  const auto opcoes =
      ferramenta::LeOpcoes(palavras,
                           {"--instalada", "--versao-instalada", "--nova", "--versao-nova", "--url",
                            "--catalogo", "--authenticode"},
                           {"--atualizador"});
  const auto valor = [&](const std::string& nome) {
    const auto achado = opcoes->find(nome);
    return achado == opcoes->end() ? std::string() : achado->second;
  };
  const bool completas = opcoes && std::ranges::all_of(kObrigatorias, [&](auto nome) {
                           return opcoes->contains(nome);
                         });
  const auto modo = completas ? LeModo(valor("--authenticode")) : std::nullopt;
  if (!modo) {
    std::fputs(kUso, stderr);
    return 2;
  }
  const ParametrosPublicacao parametros{
      .produto = opcoes->contains("--atualizador") ? Produto::kAtualizador : Produto::kAplicativo,
      .instalada = valor("--instalada"),
      .versaoInstalada = valor("--versao-instalada"),
      .nova = valor("--nova"),
      .versaoNova = valor("--versao-nova"),
      .url = valor("--url"),
      .catalogo = valor("--catalogo"),
      .authenticode = *modo,
  };
  return ferramenta::Executa("publicador", [&] {
    Relata(Publica(parametros));
    return 0;
  });
}

}  // namespace
}  // namespace tarvik::publicacao

int main(int argc, char** argv) {
  return tarvik::publicacao::Principal(std::vector<std::string>(argv + 1, argv + argc));
}
