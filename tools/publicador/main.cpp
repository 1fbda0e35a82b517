// publicador: publishes the update from one release of a product to the
// next into an update catalogue: the descriptor the updater reads and the
// files it downloads.

#include <algorithm>
#include <cstdio>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/erro.h"
#include "publicador/publicacao.h"
#include "publicador/recusa_publicacao.h"

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

struct Argumentos {
  std::map<std::string, std::string> valores;
  bool atualizador = false;
};

// Nothing when the command line is not of the documented form.
std::optional<Argumentos> LeArgumentos(const std::vector<std::string>& palavras) {
  static const std::vector<std::string> kComValor = {
      "--instalada", "--versao-instalada", "--nova",        "--versao-nova",
      "--url",       "--catalogo",         "--authenticode"};
  Argumentos argumentos;
  for (size_t i = 0; i < palavras.size(); ++i) {
    if (palavras[i] == "--atualizador") {
      argumentos.atualizador = true;
    } else if (std::find(kComValor.begin(), kComValor.end(), palavras[i]) != kComValor.end() &&
               i + 1 < palavras.size() && !argumentos.valores.contains(palavras[i])) {
      argumentos.valores[palavras[i]] = palavras[i + 1];
      ++i;
    } else {
      return std::nullopt;
    }
  }
  for (const std::string& nome : kComValor) {
    if (nome != "--authenticode" && !argumentos.valores.contains(nome)) return std::nullopt;
  }
  return argumentos;
}

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
  const auto argumentos = LeArgumentos(palavras);
  const auto modo = argumentos ? LeModo(argumentos->valores.contains("--authenticode")
                                            ? argumentos->valores.at("--authenticode")
                                            : std::string())
                               : std::nullopt;
  if (!argumentos || !modo) {
    std::fputs(kUso, stderr);
    return 2;
  }
  ParametrosPublicacao parametros;
  parametros.produto = argumentos->atualizador ? Produto::kAtualizador : Produto::kAplicativo;
  parametros.instalada = argumentos->valores.at("--instalada");
  parametros.versaoInstalada = argumentos->valores.at("--versao-instalada");
  parametros.nova = argumentos->valores.at("--nova");
  parametros.versaoNova = argumentos->valores.at("--versao-nova");
  parametros.url = argumentos->valores.at("--url");
  parametros.catalogo = argumentos->valores.at("--catalogo");
  parametros.authenticode = *modo;
  try {
    Relata(Publica(parametros));
    return 0;
  } catch (const RecusaPublicacao& recusa) {
    std::fprintf(stderr, "publicador: recusado: %s\n", recusa.what());
  } catch (const Erro& erro) {
    std::fprintf(stderr, "publicador: erro %d: %s\n", erro.Numero(), erro.Descricao().c_str());
  } catch (const std::exception& erro) {
    std::fprintf(stderr, "publicador: erro: %s\n", erro.what());
  }
  return 1;
}

}  // namespace
}  // namespace tarvik::publicacao

int main(int argc, char** argv) {
  return tarvik::publicacao::Principal(std::vector<std::string>(argv + 1, argv + argc));
}
