#include "publicador/plano_atualizacao.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <memory>

#include "base/texto.h"
#include "descriptor/acao.h"
#include "platform/utilitarios.h"
#include "publicador/arvore_versao.h"
#include "publicador/assinatura_pe.h"
#include "publicador/recusa_publicacao.h"
#include "tasks/tarefa.h"

namespace tarvik::publicacao {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMarcadorBase = "$base$\\";
// The script runner keeps its downloads and backups in these folders of the
// installation, and must be able to create them and to leave files there.
constexpr std::array<std::string_view, 2> kPastasDoAtualizador = {"temp", "backup"};
// Characters a URL cannot carry as written; the names are checked apart.
constexpr std::string_view kProibidosUrl = "?#\"<>\\^`{|}";

std::string Pai(const std::string& relativo) {
  const size_t barra = relativo.rfind('/');
  return barra == std::string::npos ? std::string() : relativo.substr(0, barra);
}

std::string Nome(const std::string& relativo) { return relativo.substr(relativo.rfind('/') + 1); }

std::string Destino(const std::string& relativo) {
  std::string pai = Pai(relativo);
  std::replace(pai.begin(), pai.end(), '/', '\\');
  return std::string(kMarcadorBase) + pai + (pai.empty() ? "" : "\\");
}

size_t Profundidade(const std::string& relativo) {
  return static_cast<size_t>(std::count(relativo.begin(), relativo.end(), '/'));
}

// The URL without its trailing slashes. It must name a scheme and a server,
// in printable ASCII, without query or fragment.
std::string ValidaUrl(std::string url) {
  while (url.ends_with('/')) url.pop_back();
  const auto recusa = [&](const std::string& motivo) {
    throw RecusaPublicacao("URL inválida [" + url + "]: " + motivo);
  };
  const size_t esquema = url.find("://");
  if (!url.starts_with("http://") && !url.starts_with("https://"))
    recusa("não começa com http:// ou https://");
  if (url.size() == esquema + 3 || url[esquema + 3] == '/') recusa("falta o servidor");
  for (const char c : url) {
    const auto octeto = static_cast<unsigned char>(c);
    if (octeto <= 0x20 || octeto >= 0x7F || kProibidosUrl.find(c) != std::string_view::npos) {
      recusa("caractere [" + std::string(1, c) + "] não pode estar na URL");
    }
  }
  return url;
}

void ValidaVersoes(const ParametrosPublicacao& parametros) {
  for (const std::string* versao : {&parametros.versaoInstalada, &parametros.versaoNova}) {
    if (!VersaoValida(*versao)) {
      throw RecusaPublicacao("versão inválida [" + *versao +
                             "]: use de 1 a 64 letras, dígitos, '.', '_' ou '-', começando por "
                             "letra ou dígito");
    }
  }
  if (ComparaVersoes(parametros.versaoNova, parametros.versaoInstalada) <= 0) {
    throw RecusaPublicacao("a versão nova [" + parametros.versaoNova +
                           "] não é posterior à instalada [" + parametros.versaoInstalada + "]");
  }
}

int32_t Tamanho(const EntradaArvore& entrada) {
  if (entrada.tamanho > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
    throw RecusaPublicacao(
        "arquivo grande demais para o descritor, que registra até 2147483647 "
        "bytes [" +
        entrada.relativo + "]");
  }
  return static_cast<int32_t>(entrada.tamanho);
}

// Builds the entries while it walks both releases.
class Planejador {
 public:
  explicit Planejador(const ParametrosPublicacao& parametros)
      : parametros_(parametros), url_(ValidaUrl(parametros.url)), utilitarios_(CriaUtilitarios()) {
    plano_.produto = parametros.produto;
    plano_.versaoInstalada = parametros.versaoInstalada;
    plano_.versaoNova = parametros.versaoNova;
  }

  PlanoAtualizacao Planeja() {
    const ArvoreVersao instalada = LeArvoreVersao(parametros_.instalada);
    const ArvoreVersao nova = LeArvoreVersao(parametros_.nova);
    std::map<std::string, const EntradaArvore*> instaladas, novas;
    for (const EntradaArvore& entrada : instalada.entradas) {
      instaladas.emplace(DobraCaixa(entrada.relativo), &entrada);
    }
    for (const EntradaArvore& entrada : nova.entradas)
      novas.emplace(DobraCaixa(entrada.relativo), &entrada);

    std::vector<EntradaDescritor> criar, copiar, remover, removerPastas;
    for (const EntradaArvore& entrada : nova.entradas) {
      RecusaPastaDoAtualizador(entrada);
      const auto anterior = instaladas.find(DobraCaixa(entrada.relativo));
      if (anterior == instaladas.end()) {
        if (entrada.pasta) {
          criar.push_back(Pasta(acao::kCriarPasta, entrada));
        } else {
          copiar.push_back(ArquivoNovo(acao::kCopiarNovoArquivo, entrada));
        }
        continue;
      }
      const EntradaArvore& antiga = *anterior->second;
      RecusaMudancaDeForma(antiga, entrada);
      if (!entrada.pasta && Mudou(antiga, entrada)) {
        copiar.push_back(ArquivoNovo(acao::kSubstituirArquivo, entrada));
        plano_.originais.push_back(Original(antiga));
      }
    }
    for (const EntradaArvore& entrada : instalada.entradas) {
      RecusaPastaDoAtualizador(entrada);
      if (novas.contains(DobraCaixa(entrada.relativo))) continue;
      if (entrada.pasta) {
        removerPastas.push_back(Pasta(acao::kRemoverPasta, entrada));
      } else {
        remover.push_back(ArquivoRemovido(entrada));
        plano_.originais.push_back(Original(entrada));
      }
    }
    std::stable_sort(removerPastas.begin(), removerPastas.end(),
                     [](const EntradaDescritor& a, const EntradaDescritor& b) {
                       return Profundidade(a.relativo) > Profundidade(b.relativo);
                     });
    std::sort(plano_.originais.begin(), plano_.originais.end(),
              [](const EntradaDescritor& a, const EntradaDescritor& b) {
                return AntesNaArvore(a.relativo, b.relativo);
              });
    for (auto* grupo : {&criar, &copiar, &remover, &removerPastas}) {
      plano_.sequencia.insert(plano_.sequencia.end(), grupo->begin(), grupo->end());
    }
    return std::move(plano_);
  }

 private:
  void RecusaPastaDoAtualizador(const EntradaArvore& entrada) const {
    const std::string primeiro = DobraCaixa(entrada.relativo.substr(0, entrada.relativo.find('/')));
    for (const std::string_view pasta : kPastasDoAtualizador) {
      if (primeiro == pasta) {
        throw RecusaPublicacao("a pasta [" + std::string(pasta) +
                               "] da instalação é de trabalho do atualizador [" + entrada.relativo +
                               "]");
      }
    }
  }

  static void RecusaMudancaDeForma(const EntradaArvore& antiga, const EntradaArvore& nova) {
    if (antiga.pasta != nova.pasta) {
      throw RecusaPublicacao("[" + nova.relativo +
                             "] é arquivo numa versão e pasta na outra; publique a remoção numa "
                             "versão intermediária");
    }
    if (antiga.relativo != nova.relativo) {
      throw RecusaPublicacao("[" + antiga.relativo + "] passa a se chamar [" + nova.relativo +
                             "], mudando só maiúsculas e minúsculas, o que o Windows não aplica a "
                             "um nome existente");
    }
  }

  bool Mudou(const EntradaArvore& antiga, const EntradaArvore& nova) {
    return antiga.tamanho != nova.tamanho ||
           Hash(parametros_.instalada, antiga) != Hash(parametros_.nova, nova);
  }

  const std::string& Hash(const fs::path& raiz, const EntradaArvore& entrada) {
    const fs::path caminho = raiz / entrada.relativo;
    auto [hash, novo] = hashes_.try_emplace(caminho.string());
    if (novo) hash->second = utilitarios_->CalculaHash(caminho.string());
    return hash->second;
  }

  std::string Url(const std::string& versao, const std::string& relativo) const {
    return url_ + "/" + std::string(NomeProduto(parametros_.produto)) + "/" + versao + "/" +
           relativo;
  }

  bool AtualizadorSomente() const { return parametros_.produto == Produto::kAtualizador; }

  EntradaDescritor Pasta(int32_t acao, const EntradaArvore& entrada) const {
    if (AtualizadorSomente()) {
      throw RecusaPublicacao("uma atualização do atualizador não cria nem remove pastas [" +
                             entrada.relativo + "]");
    }
    EntradaDescritor pasta;
    pasta.acao = acao;
    pasta.caminho = Nome(entrada.relativo);
    pasta.destino = Destino(entrada.relativo);
    pasta.relativo = entrada.relativo;
    return pasta;
  }

  EntradaDescritor ArquivoNovo(int32_t acao, const EntradaArvore& entrada) {
    EntradaDescritor arquivo = Arquivo(acao, parametros_.versaoNova, entrada);
    arquivo.tamanho = Tamanho(entrada);
    arquivo.hash = Hash(parametros_.nova, entrada);
    const FormatoExecutavel formato = ExaminaExecutavel(parametros_.nova / entrada.relativo);
    if (parametros_.authenticode == ModoAuthenticode::kExigido &&
        formato == FormatoExecutavel::kPeSemAssinatura) {
      throw RecusaPublicacao("executável sem assinatura [" + entrada.relativo + "]");
    }
    arquivo.authenticode = Verifica(formato);
    return arquivo;
  }

  EntradaDescritor ArquivoRemovido(const EntradaArvore& entrada) const {
    return Arquivo(acao::kRemoverArquivo, parametros_.versaoInstalada, entrada);
  }

  EntradaDescritor Arquivo(int32_t acao, const std::string& versao,
                           const EntradaArvore& entrada) const {
    EntradaDescritor arquivo;
    arquivo.acao = acao;
    arquivo.caminho = Url(versao, entrada.relativo);
    arquivo.destino = Destino(entrada.relativo);
    arquivo.arquivoAtualizador = AtualizadorSomente();
    arquivo.relativo = entrada.relativo;
    return arquivo;
  }

  EntradaDescritor Original(const EntradaArvore& entrada) {
    EntradaDescritor original;
    original.caminho = Url(parametros_.versaoInstalada, entrada.relativo);
    original.tamanho = Tamanho(entrada);
    original.hash = Hash(parametros_.instalada, entrada);
    original.authenticode = Verifica(ExaminaExecutavel(parametros_.instalada / entrada.relativo));
    original.relativo = entrada.relativo;
    return original;
  }

  bool Verifica(FormatoExecutavel formato) const {
    switch (parametros_.authenticode) {
      case ModoAuthenticode::kNunca:
        return false;
      case ModoAuthenticode::kAutomatico:
      case ModoAuthenticode::kExigido:
        return formato == FormatoExecutavel::kPeAssinado;
    }
    return false;
  }

  const ParametrosPublicacao& parametros_;
  const std::string url_;
  std::unique_ptr<Utilitarios> utilitarios_;
  std::map<std::string, std::string> hashes_;
  PlanoAtualizacao plano_;
};

}  // namespace

bool EntradaDescritor::Pasta() const {
  return acao == acao::kCriarPasta || acao == acao::kRemoverPasta;
}

std::string NomeAcao(int32_t codigo) {
  // The five actions are also the tasks of the same names and codes, and
  // the task model holds their names.
  Tarefa tarefa;
  tarefa.Codigo(codigo);
  return tarefa.NomeTarefa();
}

PlanoAtualizacao PlanejaAtualizacao(const ParametrosPublicacao& parametros) {
  ValidaVersoes(parametros);
  return Planejador(parametros).Planeja();
}

}  // namespace tarvik::publicacao
