#include "descriptor/descritor.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
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

// The hash of `chave` without regard to letter case (FNV-1a). Letters
// outside ASCII only ever fold onto letters outside ASCII, so hashing the
// ASCII letters folded, with every other byte alike, never separates two
// keys that `IgualSemCaixa` takes as equal.
uint32_t HashSemCaixa(std::string_view chave) {
  uint32_t hash = 2166136261u;
  for (const char c : chave) {
    uint32_t byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      byte = 0x80;
    } else if (byte >= 'A' && byte <= 'Z') {
      byte += 'a' - 'A';
    }
    hash = (hash ^ byte) * 16777619u;
  }
  return hash;
}

// A key of a section by its hash, and the position of its line among the
// section's lines.
struct ChaveOrdenada {
  uint32_t hash;
  uint32_t posicao;
};

// Sections this short are sorted by comparison: the passes below would
// cost more than their keys.
constexpr size_t kCurta = 64;

// Deals `de` into `para` by byte `byte` of the hash, keeping the order of
// the keys within each byte value; where each value's keys begin in `para`,
// and the end.
std::array<size_t, 257> Distribui(std::span<const ChaveOrdenada> de, std::span<ChaveOrdenada> para,
                                  int byte) {
  const auto parte = [byte](ChaveOrdenada chave) { return (chave.hash >> (8 * byte)) & 0xff; };
  std::array<size_t, 257> inicio{};
  for (const ChaveOrdenada chave : de) ++inicio[parte(chave) + 1];
  for (size_t i = 1; i < inicio.size(); ++i) inicio[i] += inicio[i - 1];
  std::array<size_t, 257> proxima = inicio;
  for (const ChaveOrdenada chave : de) para[proxima[parte(chave)]++] = chave;
  return inicio;
}

// Sorts `chaves` by hash, keeping the order of the lines among equal
// hashes. One pass deals the keys into `auxiliar` by the hash's top byte;
// each part, small enough to stay in the cache, is then sorted by the
// other three bytes, one pass each, back and forth. All passes read and
// write memory in order.
void OrdenaPorHash(std::span<ChaveOrdenada> chaves, std::span<ChaveOrdenada> auxiliar) {
  const auto porHash = [](ChaveOrdenada a, ChaveOrdenada b) { return a.hash < b.hash; };
  if (chaves.size() <= kCurta) {
    std::stable_sort(chaves.begin(), chaves.end(), porHash);
    return;
  }
  const auto partes = Distribui(chaves, auxiliar, 3);
  for (size_t p = 0; p + 1 < partes.size(); ++p) {
    const auto de = auxiliar.subspan(partes[p], partes[p + 1] - partes[p]);
    const auto para = chaves.subspan(partes[p], de.size());
    if (de.size() <= kCurta) {
      std::stable_sort(de.begin(), de.end(), porHash);
      std::copy(de.begin(), de.end(), para.begin());
      continue;
    }
    Distribui(de, para, 0);
    Distribui(para, de, 1);
    Distribui(de, para, 2);
  }
}

// Where a value line lies in the text, stripped of spaces: it begins at
// `inicio`, its first "=" is at `igual` and it ends at `fim`.
struct Linha {
  uint32_t inicio;
  uint32_t igual;
  uint32_t fim;
};

}  // namespace

// The lines of all sections lie in one array in the order of the text, each
// section's in one run, since a section's lines stand together and a name
// cannot come back. Beside them, in the same runs, each section's keys
// sorted by hash: a repeated key lies next to the first one, and a key is
// looked up by binary search.
//
// Sorted rather than hashed into a table: the keys are all known when the
// section ends, and a table probed at random misses the cache on every
// probe once it outgrows it, so that ten times the entries took twenty
// times as long. A line costs three offsets into the text and its key two
// numbers, less than the text itself, so that large descriptors touch
// little fresh memory. Readers take the keys in the order servers write
// them, so most lookups never reach the search (`Secao::Procura`).
class ArmazemDescritor {
 public:
  explicit ArmazemDescritor(std::string texto) : texto_(std::move(texto)) {
    if constexpr (sizeof(size_t) > sizeof(uint32_t)) {
      if (texto_.size() > UINT32_MAX) {
        throw ErroConteudo(codigo_erro::kEstouro, "descritor de 4 GiB ou mais");
      }
    }
    // Room for a line every 32 bytes, about what an entry's lines take, so
    // that the arrays seldom move while they fill.
    linhas_.reserve(texto_.size() / 32);
    chaves_.reserve(texto_.size() / 32);
  }

  const std::string& Texto() const { return texto_; }

  // Opens a new section after the last; returns its number.
  uint32_t NovaSecao() {
    inicioSecoes_.push_back(linhas_.size());
    return static_cast<uint32_t>(inicioSecoes_.size() - 1);
  }

  // Adds a value line of the text to the last section: `linha`, whose first
  // "=" is at `igual`.
  void Adiciona(std::string_view linha, size_t igual) {
    const auto posicao = static_cast<uint32_t>(linhas_.size() - inicioSecoes_.back());
    chaves_.push_back({HashSemCaixa(RemoveEspacos(linha.substr(0, igual))), posicao});
    const auto inicio = static_cast<uint32_t>(linha.data() - texto_.data());
    linhas_.push_back({inicio, inicio + static_cast<uint32_t>(igual),
                       inicio + static_cast<uint32_t>(linha.size())});
  }

  // Sorts the keys of the last section; the first line, in the order of the
  // text, whose key an earlier line of the section already has, if any.
  std::optional<ValorDescritor> EncerraSecao() {
    const auto numero = static_cast<uint32_t>(inicioSecoes_.size() - 1);
    const auto [inicio, fim] = Faixa(numero);
    const auto chaves = std::span(chaves_).subspan(inicio, fim - inicio);
    const auto auxiliar = chaves.size() > kCurta
                              ? std::make_unique_for_overwrite<ChaveOrdenada[]>(chaves.size())
                              : nullptr;
    OrdenaPorHash(chaves, std::span(auxiliar.get(), auxiliar ? chaves.size() : 0));
    std::optional<uint32_t> repetida;
    for (size_t i = 1; i < chaves.size(); ++i) {
      // A run of equal hashes is in the order of the text: each line is
      // compared with the earlier ones of its run.
      for (size_t j = i; j-- > 0 && chaves[j].hash == chaves[i].hash;) {
        if (IgualSemCaixa(Valor(numero, chaves[j].posicao).chave,
                          Valor(numero, chaves[i].posicao).chave)) {
          if (!repetida || chaves[i].posicao < *repetida) repetida = chaves[i].posicao;
          break;
        }
      }
    }
    if (!repetida) return std::nullopt;
    return Valor(numero, *repetida);
  }

  size_t Quantidade(uint32_t numero) const {
    const auto [inicio, fim] = Faixa(numero);
    return fim - inicio;
  }

  ValorDescritor Valor(uint32_t numero, size_t posicao) const {
    const Linha linha = linhas_[inicioSecoes_[numero] + posicao];
    const std::string_view texto = texto_;
    return {RemoveEspacos(texto.substr(linha.inicio, linha.igual - linha.inicio)),
            texto.substr(linha.igual + 1, linha.fim - linha.igual - 1)};
  }

  // The position of `chave` among the lines of section `numero`; nothing
  // when the section lacks it.
  std::optional<size_t> Procura(uint32_t numero, std::string_view chave) const {
    const auto [inicio, fim] = Faixa(numero);
    const auto chaves = std::span(chaves_).subspan(inicio, fim - inicio);
    const uint32_t hash = HashSemCaixa(chave);
    for (auto it = std::lower_bound(chaves.begin(), chaves.end(), hash,
                                    [](ChaveOrdenada a, uint32_t h) { return a.hash < h; });
         it != chaves.end() && it->hash == hash; ++it) {
      if (IgualSemCaixa(Valor(numero, it->posicao).chave, chave)) return it->posicao;
    }
    return std::nullopt;
  }

 private:
  std::pair<size_t, size_t> Faixa(uint32_t numero) const {
    return {inicioSecoes_[numero],
            numero + 1 < inicioSecoes_.size() ? inicioSecoes_[numero + 1] : linhas_.size()};
  }

  std::string texto_;
  std::vector<Linha> linhas_;
  std::vector<ChaveOrdenada> chaves_;
  std::vector<size_t> inicioSecoes_;
};

Secao::Secao(std::shared_ptr<const ArmazemDescritor> armazem, uint32_t numero)
    : armazem_(std::move(armazem)), numero_(numero) {}

size_t Secao::Quantidade() const { return armazem_->Quantidade(numero_); }

ValorDescritor Secao::Valor(size_t posicao) const { return armazem_->Valor(numero_, posicao); }

std::optional<std::string_view> Secao::Procura(std::string_view chave) const {
  // An entry's keys are usually one line after another; between two entries
  // there is the line of the key that is not looked up.
  std::optional<size_t> posicao;
  for (size_t i = proxima_; i < proxima_ + 2 && i < Quantidade(); ++i) {
    if (IgualSemCaixa(Valor(i).chave, chave)) {
      posicao = i;
      break;
    }
  }
  if (!posicao) posicao = armazem_->Procura(numero_, chave);
  if (!posicao) return std::nullopt;
  proxima_ = *posicao + 1;
  return Valor(*posicao).valor;
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
  const auto encerraSecao = [&] {
    if (!emSecao) return;
    if (const auto repetida = armazem->EncerraSecao()) {
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
      encerraSecao();
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
    armazem->Adiciona(linha, igual);
  } while (!cortador.AtEnd() && !linha.empty());
  encerraSecao();
  conteudo.assign(armazem->Texto(), cortador.Consumed());
  return secoes;
}

}  // namespace tarvik
