#include "servidor_referencia/catalogo.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace tarvik::publicacao {

namespace fs = std::filesystem;

namespace {

constexpr size_t kTamanhoMaximoVersao = 64;
constexpr std::string_view kExtensaoDescritor = ".txt";

bool Digito(char c) { return c >= '0' && c <= '9'; }
bool Letra(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::vector<std::string_view> Componentes(std::string_view versao) {
  std::vector<std::string_view> componentes;
  size_t inicio = 0;
  while (true) {
    const size_t ponto = versao.find('.', inicio);
    componentes.push_back(versao.substr(inicio, ponto - inicio));
    if (ponto == std::string_view::npos) return componentes;
    inicio = ponto + 1;
  }
}

bool Numero(std::string_view texto) {
  return !texto.empty() && std::all_of(texto.begin(), texto.end(), Digito);
}

// Numbers of any length: without leading zeros, the longer is the larger.
int ComparaNumeros(std::string_view a, std::string_view b) {
  a.remove_prefix(std::min(a.find_first_not_of('0'), a.size()));
  b.remove_prefix(std::min(b.find_first_not_of('0'), b.size()));
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

int ComparaComponentes(std::string_view a, std::string_view b) {
  if (Numero(a) && Numero(b)) return ComparaNumeros(a, b);
  // Where a component is not a number, any rule for words would be a guess:
  // plain text order decides, which is at least stable.
  const int ordem = a.compare(b);
  return ordem < 0 ? -1 : (ordem == 0 ? 0 : 1);
}

// The entries of `pasta` whose names (without `extensao`) are valid
// versions; nothing when the folder cannot be read.
std::vector<std::string> Versoes(const fs::path& pasta, std::string_view extensao) {
  std::vector<std::string> versoes;
  std::error_code erro;
  for (fs::directory_iterator it(pasta, erro), fim; !erro && it != fim; it.increment(erro)) {
    std::string nome = it->path().filename().string();
    if (!nome.ends_with(extensao)) continue;
    nome.resize(nome.size() - extensao.size());
    if (VersaoValida(nome)) versoes.push_back(std::move(nome));
  }
  return versoes;
}

}  // namespace

std::string_view NomeProduto(Produto produto) {
  return produto == Produto::kAtualizador ? "atualizador" : "aplicativo";
}

bool VersaoValida(std::string_view versao) {
  if (versao.empty() || versao.size() > kTamanhoMaximoVersao) return false;
  if (!Letra(versao.front()) && !Digito(versao.front())) return false;
  return std::all_of(versao.begin(), versao.end(), [](char c) {
    return Letra(c) || Digito(c) || c == '.' || c == '_' || c == '-';
  });
}

int ComparaVersoes(std::string_view a, std::string_view b) {
  const auto componentesA = Componentes(a);
  const auto componentesB = Componentes(b);
  const size_t comuns = std::min(componentesA.size(), componentesB.size());
  for (size_t i = 0; i < comuns; ++i) {
    if (const int ordem = ComparaComponentes(componentesA[i], componentesB[i]); ordem != 0) {
      return ordem;
    }
  }
  if (componentesA.size() == componentesB.size()) return 0;
  return componentesA.size() < componentesB.size() ? -1 : 1;
}

fs::path Catalogo::Descritor(Produto produto, std::string_view velha, std::string_view nova) const {
  return pasta_ / "descritores" / NomeProduto(produto) / velha /
         (std::string(nova) + std::string(kExtensaoDescritor));
}

fs::path Catalogo::Arquivos(Produto produto, std::string_view nova) const {
  return PastaArquivos() / NomeProduto(produto) / nova;
}

std::string Catalogo::VersaoMaisRecente(Produto produto) const {
  std::string maisRecente;
  for (const std::string& velha : Versoes(pasta_ / "descritores" / NomeProduto(produto), "")) {
    for (std::string& nova :
         Versoes(pasta_ / "descritores" / NomeProduto(produto) / velha, kExtensaoDescritor)) {
      if (maisRecente.empty() || ComparaVersoes(nova, maisRecente) > 0)
        maisRecente = std::move(nova);
    }
  }
  return maisRecente;
}

Procura Catalogo::ProcuraAtualizacao(Produto produto, std::string_view versao) const {
  Procura procura;
  const std::string maisRecente = VersaoMaisRecente(produto);
  if (maisRecente.empty() || !VersaoValida(versao)) return procura;
  if (ComparaVersoes(versao, maisRecente) == 0) {
    procura.tipo = Procura::Tipo::kAtual;
    procura.novaVersao = maisRecente;
    return procura;
  }
  const fs::path descritor = Descritor(produto, versao, maisRecente);
  std::error_code erro;
  if (fs::is_regular_file(descritor, erro)) {
    procura.tipo = Procura::Tipo::kAtualizacao;
    procura.descritor = descritor;
    procura.novaVersao = maisRecente;
  }
  return procura;
}

}  // namespace tarvik::publicacao
