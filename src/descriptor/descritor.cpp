#include "descriptor/descritor.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "base/erro.h"
#include "base/texto.h"

namespace tarvik {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Cuts lines off a text one after another the way `SeparaLinhas` does, in
// time linear in the text: the position of the next line break of each kind
// is remembered until the cursor passes it, since a search that found none
// will find none in what remains either.
class LineCutter {
 public:
  explicit LineCutter(std::string_view text) : text_(text) {}

  std::string_view Next() {
    size_t end = Find(kCrLf, crLf_);
    size_t breakSize = kCrLf.size();
    if (end == std::string_view::npos) {
      end = Find("\n", lf_);
      if (end == std::string_view::npos) end = Find("\r", cr_);
      breakSize = 1;
    }
    if (end == std::string_view::npos) {
      end = text_.size();
      breakSize = 0;
    }
    const auto line = text_.substr(position_, end - position_);
    position_ = end + breakSize;
    return line;
  }

  // How much of the text the lines cut so far have used.
  size_t Consumed() const { return position_; }
  bool AtEnd() const { return position_ == text_.size(); }

 private:
  struct NextBreak {
    bool known = false;
    size_t at = std::string_view::npos;
  };

  size_t Find(std::string_view lineBreak, NextBreak& next) const {
    if (!next.known || (next.at != std::string_view::npos && next.at < position_)) {
      next = {true, text_.find(lineBreak, position_)};
    }
    return next.at;
  }

  std::string_view text_;
  size_t position_ = 0;
  NextBreak crLf_;
  NextBreak lf_;
  NextBreak cr_;
};

Erro ErroConteudo(int32_t numero, const std::string& detalhe) {
  return Erro(numero, "InterpretaConteudo", DescricaoPadrao(numero) + ": " + detalhe);
}

bool Ascii(char c) { return static_cast<unsigned char>(c) < 0x80; }

char MinusculaAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The hash of `chave` in section `secao`. Letters outside ASCII only ever
// fold onto letters outside ASCII, so hashing the ASCII letters folded, with
// every other byte alike, never separates two keys that `IgualSemCaixa`
// takes as equal. Each section starts from its own seed, or the same key in
// many sections would pile up in one run of the index.
uint32_t HashSemCaixa(uint32_t secao, std::string_view chave) {
  uint32_t hash = 2166136261u ^ (secao * 0x9e3779b9u);  // FNV-1a
  for (const char c : chave) {
    hash ^= Ascii(c) ? static_cast<unsigned char>(MinusculaAscii(c)) : 0x80u;
    hash *= 16777619u;
  }
  // Keys differ mostly in their last digits; mixing spreads that difference
  // over the low bits that pick the slot (the finaliser of MurmurHash3).
  hash ^= hash >> 16;
  hash *= 0x85ebca6bu;
  hash ^= hash >> 13;
  hash *= 0xc2b2ae35u;
  hash ^= hash >> 16;
  return hash;
}

bool ChavesIguais(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!Ascii(a[i]) || !Ascii(b[i])) return IgualSemCaixa(a, b);
    if (MinusculaAscii(a[i]) != MinusculaAscii(b[i])) return false;
  }
  return true;
}

// Asks for the memory at `endereco` ahead of its use; only a hint.
void AntecipaLeitura(const void* endereco) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(endereco);
#else
  static_cast<void>(endereco);
#endif
}

// No more value lines than lines, nor than "=" characters.
size_t MaximoValores(std::string_view texto) {
  const auto conta = [texto](char c) {
    return static_cast<size_t>(std::count(texto.begin(), texto.end(), c));
  };
  return std::min(conta('='), conta('\n') + conta('\r') + 1);
}

}  // namespace

// Values of all sections lie in one array, each section's in one run, since
// a section's lines stand together and a name cannot come back. One flat
// open-addressing index, sized once from the text, holds the keys of all
// sections: hundreds of thousands of lines cost no allocation each.
class ArmazemDescritor {
 public:
  explicit ArmazemDescritor(std::string texto) : texto_(std::move(texto)) {
    const size_t maximo = MaximoValores(texto_);
    valores_.reserve(maximo);
    size_t tamanho = 16;
    while (tamanho * 3 < 4 * maximo) tamanho *= 2;
    indice_.resize(tamanho);
  }

  const std::string& Texto() const { return texto_; }

  // Opens a new section after the last; returns its number.
  uint32_t NovaSecao() {
    inicioSecoes_.push_back(valores_.size());
    return static_cast<uint32_t>(inicioSecoes_.size() - 1);
  }

  // Adds a value line to the last section. Its key is checked against the
  // others in batches, so that the index slots of a batch are fetched from
  // memory together: the repeated key of the batch, if any, comes back.
  const ValorDescritor* Adiciona(ValorDescritor valor) {
    const uint32_t hash =
        HashSemCaixa(static_cast<uint32_t>(inicioSecoes_.size() - 1), valor.chave);
    AntecipaLeitura(&indice_[hash & (indice_.size() - 1)]);
    pendentes_[quantidadePendentes_++] = hash;
    valores_.push_back(valor);
    return quantidadePendentes_ == pendentes_.size() ? ConfirmaPendentes() : nullptr;
  }

  // Checks the keys not yet checked; the first one repeated, if any.
  const ValorDescritor* ConfirmaPendentes() {
    const uint32_t numero = static_cast<uint32_t>(inicioSecoes_.size() - 1);
    const size_t primeiro = valores_.size() - quantidadePendentes_;
    for (size_t i = 0; i < quantidadePendentes_; ++i) {
      const uint32_t hash = pendentes_[i];
      const auto& valor = valores_[primeiro + i];
      const size_t slot = Slot(numero, valor.chave, hash);
      if (indice_[slot].posicao != kVazio) return &valor;
      indice_[slot] = {hash, static_cast<uint32_t>(primeiro + i)};
    }
    quantidadePendentes_ = 0;
    return nullptr;
  }

  std::span<const ValorDescritor> Valores(uint32_t numero) const {
    const size_t inicio = inicioSecoes_[numero];
    const size_t fim =
        numero + 1 < inicioSecoes_.size() ? inicioSecoes_[numero + 1] : valores_.size();
    return std::span(valores_).subspan(inicio, fim - inicio);
  }

  // The position of `chave` among the values of section `numero`; nothing
  // when the section lacks it.
  std::optional<size_t> Procura(uint32_t numero, std::string_view chave) const {
    const uint32_t posicao = indice_[Slot(numero, chave, HashSemCaixa(numero, chave))].posicao;
    if (posicao == kVazio) return std::nullopt;
    return posicao - inicioSecoes_[numero];
  }

 private:
  static constexpr uint32_t kVazio = UINT32_MAX;

  struct Entrada {
    uint32_t hash = 0;
    uint32_t posicao = kVazio;
  };

  // The slot of `chave` of section `numero`: where it is, or the empty slot
  // where it would go. Linear probing; the index is never more than three
  // quarters full.
  size_t Slot(uint32_t numero, std::string_view chave, uint32_t hash) const {
    const auto valores = Valores(numero);
    const size_t inicio = inicioSecoes_[numero];
    const size_t mascara = indice_.size() - 1;
    for (size_t slot = hash & mascara;; slot = (slot + 1) & mascara) {
      const Entrada& entrada = indice_[slot];
      if (entrada.posicao == kVazio) return slot;
      if (entrada.hash == hash && entrada.posicao >= inicio &&
          entrada.posicao - inicio < valores.size() &&
          ChavesIguais(valores_[entrada.posicao].chave, chave)) {
        return slot;
      }
    }
  }

  std::string texto_;
  std::vector<ValorDescritor> valores_;
  std::vector<size_t> inicioSecoes_;
  std::vector<Entrada> indice_;
  std::array<uint32_t, 16> pendentes_;
  size_t quantidadePendentes_ = 0;
};

Secao::Secao(std::shared_ptr<const ArmazemDescritor> armazem, uint32_t numero)
    : armazem_(std::move(armazem)), numero_(numero) {}

std::span<const ValorDescritor> Secao::Valores() const { return armazem_->Valores(numero_); }

const std::string_view* Secao::Procura(std::string_view chave) const {
  const auto valores = Valores();
  // An entry's keys are usually one line after another; between two entries
  // there is the line of the key that is not looked up.
  std::optional<size_t> posicao;
  for (size_t i = proxima_; i < proxima_ + 2 && i < valores.size(); ++i) {
    if (ChavesIguais(valores[i].chave, chave)) {
      posicao = i;
      break;
    }
  }
  if (!posicao) posicao = armazem_->Procura(numero_, chave);
  if (!posicao) return nullptr;
  proxima_ = *posicao + 1;
  return &valores[*posicao].valor;
}

std::string SeparaLinhas(std::string& texto) {
  LineCutter cortador(texto);
  std::string linha(cortador.Next());
  texto.erase(0, cortador.Consumed());
  return linha;
}

Secoes InterpretaConteudo(std::string& conteudo) {
  // The sections keep views into the text, so it moves to where they can
  // share it; what the blank line leaves unread goes back to `conteudo`.
  const auto armazem = std::make_shared<ArmazemDescritor>(std::move(conteudo));
  Secoes secoes;
  bool emSecao = false;
  std::string nomeAtual;
  const auto verificaRepetida = [&nomeAtual](const ValorDescritor* repetida) {
    if (repetida) {
      throw ErroConteudo(
          codigo_erro::kChaveDuplicada,
          "chave [" + std::string(repetida->chave) + "] repetida na seção [" + nomeAtual + "]");
    }
  };
  LineCutter cortador(armazem->Texto());
  std::string_view linha;
  do {
    linha = RemoveEspacos(cortador.Next());
    if (linha.empty() || linha.front() == '#') continue;
    if (linha.front() == '[') {
      // Keys of the section that ends are checked before anything of the next.
      verificaRepetida(armazem->ConfirmaPendentes());
      // The last character closes the header without being looked at; a
      // lone "[" has none to drop.
      if (linha.size() < 2) {
        throw ErroConteudo(codigo_erro::kArgumentoInvalido, "cabeçalho de seção sem nome [[]");
      }
      nomeAtual = std::string(linha.substr(1, linha.size() - 2));
      if (secoes.Contem(nomeAtual)) {
        throw ErroConteudo(codigo_erro::kChaveDuplicada, "seção [" + nomeAtual + "] repetida");
      }
      secoes.Adiciona(std::make_shared<Secao>(armazem, armazem->NovaSecao()), nomeAtual);
      emSecao = true;
      continue;
    }
    const auto igual = linha.find('=');
    if (igual == std::string_view::npos) continue;
    const auto chave = RemoveEspacos(linha.substr(0, igual));
    if (!emSecao) {
      throw ErroConteudo(codigo_erro::kArgumentoInvalido,
                         "chave [" + std::string(chave) + "] antes do primeiro cabeçalho de seção");
    }
    verificaRepetida(armazem->Adiciona({chave, linha.substr(igual + 1)}));
  } while (!cortador.AtEnd() && !linha.empty());
  if (emSecao) verificaRepetida(armazem->ConfirmaPendentes());
  conteudo.assign(armazem->Texto(), cortador.Consumed());
  return secoes;
}

}  // namespace tarvik
