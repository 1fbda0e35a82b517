#include "descriptor/recupera_dados_atualizacao.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/erro.h"
#include "base/texto.h"
#include "descriptor/acao.h"
#include "descriptor/chaves_descritor.h"
#include "descriptor/descritor.h"
#include "descriptor/informacao_arquivo.h"
#include "descriptor/informacao_pasta.h"

namespace tarvik {

namespace {

constexpr std::string_view kOrigem = "RecuperaDadosAtualizacao";
using namespace chave_descritor;
constexpr std::string_view kVerdadeiro = "true";
constexpr std::string_view kFalso = "false";

bool Digito(char c) { return c >= '0' && c <= '9'; }

// A decimal number as the descriptor may write it: spaces around it, an
// optional sign, digits, an optional fraction after a point.
struct NumeroDecimal {
  bool negativo = false;
  std::string_view inteiro;
  std::string_view fracao;
};

std::optional<NumeroDecimal> LeNumeroDecimal(std::string_view texto) {
  texto = RemoveEspacos(texto);
  NumeroDecimal numero;
  size_t i = 0;
  if (i < texto.size() && (texto[i] == '+' || texto[i] == '-')) numero.negativo = texto[i++] == '-';
  const size_t inicioInteiro = i;
  while (i < texto.size() && Digito(texto[i])) ++i;
  numero.inteiro = texto.substr(inicioInteiro, i - inicioInteiro);
  if (i < texto.size() && texto[i] == '.') {
    const size_t inicioFracao = ++i;
    while (i < texto.size() && Digito(texto[i])) ++i;
    numero.fracao = texto.substr(inicioFracao, i - inicioFracao);
  }
  if (i != texto.size() || (numero.inteiro.empty() && numero.fracao.empty())) return std::nullopt;
  return numero;
}

// Whether `texto` starts with `radical`, which is ASCII, without regard to
// letter case: a letter outside ASCII never folds onto one inside.
bool IniciaComSemCaixa(std::string_view texto, std::string_view radical) {
  const auto minuscula = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  return texto.size() >= radical.size() &&
         std::equal(radical.begin(), radical.end(), texto.begin(),
                    [&](char r, char t) { return r == minuscula(t); });
}

std::string Chave(std::string_view radical, int32_t indice) {
  return std::string(radical) + std::to_string(indice);
}

// Reads the values of one section, raising errors that name the section and
// the key.
class LeitorSecao {
 public:
  LeitorSecao(const Secoes& secoes, std::string_view nome) : nome_(nome) {
    if (!secoes.Contem(nome)) {
      throw Falha(codigo_erro::kArgumentoInvalido, "seção [" + std::string(nome) + "] ausente");
    }
    secao_ = secoes.Item(nome).get();
  }

  const Secao& Linhas() const { return *secao_; }

  std::string_view Texto(std::string_view chave) const {
    const std::optional<std::string_view> valor = secao_->Procura(chave);
    if (!valor) {
      throw Falha(
          codigo_erro::kArgumentoInvalido,
          "chave [" + std::string(chave) + "] ausente na seção [" + std::string(nome_) + "]");
    }
    return *valor;
  }

  // A whole number; a fraction is rounded half to even.
  int32_t Inteiro(std::string_view chave) const {
    const std::string_view valor = Texto(chave);
    const auto numero = LeNumeroDecimal(valor);
    if (!numero) throw FalhaValor(codigo_erro::kTipoIncompativel, chave, valor);
    auto digitos = numero->inteiro;
    digitos.remove_prefix(std::min(digitos.find_first_not_of('0'), digitos.size()));
    // Eleven significant digits exceed 32 bits whatever the sign.
    if (digitos.size() > 10) throw FalhaValor(codigo_erro::kEstouro, chave, valor);
    int64_t magnitude = 0;
    for (const char c : digitos) magnitude = magnitude * 10 + (c - '0');
    if (!numero->fracao.empty()) {
      const char primeiro = numero->fracao.front();
      const bool alemDaMetade = numero->fracao.find_first_not_of('0', 1) != std::string_view::npos;
      if (primeiro > '5' || (primeiro == '5' && (alemDaMetade || magnitude % 2 == 1))) ++magnitude;
    }
    const int64_t resultado = numero->negativo ? -magnitude : magnitude;
    if (resultado < std::numeric_limits<int32_t>::min() ||
        resultado > std::numeric_limits<int32_t>::max()) {
      throw FalhaValor(codigo_erro::kEstouro, chave, valor);
    }
    return static_cast<int32_t>(resultado);
  }

  // "true" or "false" in any letter case, or a number: zero is false, any
  // other number true.
  bool Logico(std::string_view chave) const {
    const std::string_view valor = Texto(chave);
    const auto texto = RemoveEspacos(valor);
    if (IgualSemCaixa(texto, kVerdadeiro)) return true;
    if (IgualSemCaixa(texto, kFalso)) return false;
    const auto numero = LeNumeroDecimal(texto);
    if (!numero) throw FalhaValor(codigo_erro::kTipoIncompativel, chave, valor);
    const auto naoZero = [](std::string_view digitos) {
      return digitos.find_first_not_of('0') != std::string_view::npos;
    };
    return naoZero(numero->inteiro) || naoZero(numero->fracao);
  }

 private:
  static Erro Falha(int32_t numero, const std::string& detalhe) {
    return Erro(numero, std::string(kOrigem), DescricaoPadrao(numero) + ": " + detalhe);
  }

  Erro FalhaValor(int32_t numero, std::string_view chave, std::string_view valor) const {
    return Falha(numero, "valor [" + std::string(valor) + "] da chave [" + std::string(chave) +
                             "] na seção [" + std::string(nome_) + "]");
  }

  std::string_view nome_;
  const Secao* secao_ = nullptr;
};

// The entries of the sequence section whose action key exists, in index
// order, with their action text. Walking the section's keys instead of the
// indexes 1 to `itens` keeps an absurd count from the server from spinning.
std::vector<std::pair<int32_t, std::string_view>> AcoesPresentes(const Secao& secao,
                                                                 int32_t itens) {
  std::vector<std::pair<int32_t, std::string_view>> acoes;
  for (size_t i = 0; i < secao.Quantidade(); ++i) {
    const ValorDescritor valor = secao.Valor(i);
    const std::string_view chave = valor.chave;
    if (chave.size() <= kAcao.size() || !IniciaComSemCaixa(chave, kAcao)) continue;
    const auto digitos = chave.substr(kAcao.size());
    // The index is written in decimal without leading zeros.
    if (digitos.front() == '0' || digitos.size() > 10 ||
        !std::all_of(digitos.begin(), digitos.end(), Digito)) {
      continue;
    }
    int64_t indice = 0;
    for (const char c : digitos) indice = indice * 10 + (c - '0');
    if (indice <= itens) acoes.emplace_back(static_cast<int32_t>(indice), valor.valor);
  }
  // Servers write the entries in order: then there is nothing to sort.
  if (!std::is_sorted(acoes.begin(), acoes.end())) std::sort(acoes.begin(), acoes.end());
  return acoes;
}

std::shared_ptr<InformacaoArquivo> LeArquivoRecuperar(const LeitorSecao& secao, int32_t n,
                                                      int32_t codigo) {
  auto arquivo = std::make_shared<InformacaoArquivo>();
  arquivo->Indice(n);
  arquivo->Url(std::string(secao.Texto(Chave(kCaminho, n))));
  arquivo->Destino(std::string(secao.Texto(Chave(kDestino, n))));
  arquivo->Acao(codigo);
  arquivo->tamanho(secao.Inteiro(Chave(kTamanho, n)));
  arquivo->hash(std::string(secao.Texto(Chave(kHash, n))));
  arquivo->Authenticode(secao.Logico(Chave(kAuthenticode, n)));
  arquivo->ArquivoAtualizador(secao.Logico(Chave(kArquivoAtualizador, n)));
  return arquivo;
}

std::shared_ptr<InformacaoPasta> LePasta(const LeitorSecao& secao, int32_t n, int32_t codigo) {
  auto pasta = std::make_shared<InformacaoPasta>();
  pasta->Indice(n);
  pasta->Nome(std::string(secao.Texto(Chave(kCaminho, n))));
  pasta->Acao(codigo);
  pasta->Destino(std::string(secao.Texto(Chave(kDestino, n))));
  return pasta;
}

std::shared_ptr<InformacaoArquivo> LeArquivoOriginal(const LeitorSecao& secao, int32_t i) {
  auto arquivo = std::make_shared<InformacaoArquivo>();
  arquivo->Url(std::string(secao.Texto(Chave(kCaminho, i))));
  arquivo->Indice(i);
  arquivo->tamanho(secao.Inteiro(Chave(kTamanho, i)));
  arquivo->hash(std::string(secao.Texto(Chave(kHash, i))));
  arquivo->Authenticode(secao.Logico(Chave(kAuthenticode, i)));
  return arquivo;
}

void LeSequencia(const LeitorSecao& sequencia, DadosAtualizacao& dados) {
  auto itens = std::make_shared<ItensDeSequencia>();
  ArranjoArquivos baixar;
  for (const auto& [n, textoAcao] :
       AcoesPresentes(sequencia.Linhas(), dados.NumeroArquivosRecuperar())) {
    const auto codigo = ProcuraAcao(textoAcao);
    if (!codigo) continue;
    switch (*codigo) {
      case acao::kSubstituirArquivo:
      case acao::kCopiarNovoArquivo:
      case acao::kRemoverArquivo: {
        auto arquivo = LeArquivoRecuperar(sequencia, n, *codigo);
        itens->Adiciona(arquivo);
        if (*codigo != acao::kRemoverArquivo) baixar.push_back(std::move(arquivo));
        break;
      }
      case acao::kCriarPasta:
      case acao::kRemoverPasta:
        itens->Adiciona(LePasta(sequencia, n, *codigo));
        break;
      default:  // an installer package is not the updater's to run
        break;
    }
  }
  dados.ItensSequencia(std::move(itens));
  if (!baixar.empty()) {
    dados.AjustaTamanhoArquivosRecuperar(static_cast<int32_t>(baixar.size()));
    ArranjoArquivos arranjo = dados.ArquivosRecuperar();
    std::move(baixar.begin(), baixar.end(), arranjo.begin());
    dados.ArquivosRecuperar(std::move(arranjo));
  }
}

void LeOriginais(const LeitorSecao& originais, DadosAtualizacao& dados) {
  dados.VelhaVersao(std::string(originais.Texto(kVersao)));
  const int32_t quantidade = originais.Inteiro(kItens);
  dados.NumeroArquivosOriginais(quantidade);
  if (quantidade < 1) return;
  // Grown entry by entry: a count beyond the entries present fails at the
  // first missing key, before it could cost memory.
  ArranjoArquivos arranjo;
  for (int32_t i = 1; i <= quantidade; ++i) arranjo.push_back(LeArquivoOriginal(originais, i));
  dados.ArquivosOriginais(std::move(arranjo));
}

}  // namespace

DadosAtualizacao RecuperaDadosAtualizacao(std::string conteudo) {
  const Secoes secoes = InterpretaConteudo(conteudo);
  DadosAtualizacao dados;
  const LeitorSecao sequencia(secoes, kSecaoSequencia);
  const int32_t itens = sequencia.Inteiro(kItens);
  const std::string_view atualizar = sequencia.Texto(kAtualizar);
  const std::string_view versao = sequencia.Texto(kVersao);
  const std::string_view atualizarAtualizador = sequencia.Texto(kAtualizarAtualizador);
  // Only the exact word says yes, unlike the truth values of the entries.
  dados.Atualizar(atualizar == kVerdadeiro);
  dados.NovaVersao(std::string(versao));
  dados.AtualizarAtualizador(atualizarAtualizador == kVerdadeiro);
  dados.NumeroArquivosRecuperar(itens);
  if (!dados.Atualizar()) return dados;
  LeSequencia(sequencia, dados);
  LeOriginais(LeitorSecao(secoes, kSecaoOriginais), dados);
  return dados;
}

}  // namespace tarvik
