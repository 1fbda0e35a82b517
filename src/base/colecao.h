#ifndef TARVIK_BASE_COLECAO_H_
#define TARVIK_BASE_COLECAO_H_

#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "base/erro.h"
#include "base/texto.h"

namespace tarvik {

// The ordered collection of the domain: positions count from 1, an element
// may carry a unique text key compared without regard to letter case, and an
// element may be inserted directly after the element with a given key.
// Key lookups and insertions take constant time; positional access walks.
//
// Errors: a missing key raises 5, a position out of range 9, a key that is
// already present 457 (the classic collection errors).
template <typename T>
class Colecao {
  struct Elemento {
    T valor;
    std::optional<std::string> chave;
  };
  using Lista = std::list<Elemento>;

 public:
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = const T*;
    using reference = const T&;

    const_iterator() = default;
    explicit const_iterator(typename Lista::const_iterator it) : it_(it) {}
    const T& operator*() const { return it_->valor; }
    const T* operator->() const { return &it_->valor; }
    const_iterator& operator++() {
      ++it_;
      return *this;
    }
    const_iterator operator++(int) {
      auto copia = *this;
      ++it_;
      return copia;
    }
    bool operator==(const const_iterator&) const = default;

   private:
    typename Lista::const_iterator it_;
  };

  Colecao() = default;
  // The index points into the element list, so a copy builds its own.
  Colecao(const Colecao& outra) {
    for (const auto& elemento : outra.elementos_)
      Insere(elementos_.end(), elemento.valor, elemento.chave);
  }
  Colecao& operator=(const Colecao& outra) {
    if (this != &outra) *this = Colecao(outra);
    return *this;
  }
  // Moving a list keeps its iterators valid, so the index moves along.
  Colecao(Colecao&&) noexcept = default;
  Colecao& operator=(Colecao&&) noexcept = default;

  // Appends at the end, with an optional key.
  void Adiciona(T valor, std::optional<std::string> chave = std::nullopt) {
    Insere(elementos_.end(), std::move(valor), std::move(chave));
  }

  // Inserts directly after the element with key `depoisDe` (5 when missing).
  void AdicionaDepois(T valor, std::string chave, std::string_view depoisDe) {
    auto alvo = Procura(depoisDe, "Colecao:AdicionaDepois");
    Insere(std::next(alvo), std::move(valor), std::move(chave));
  }

  // The element at `posicao`, counted from 1 (9 when out of range).
  const T& Item(int64_t posicao) const {
    if (posicao < 1 || posicao > Quantidade()) {
      throw ErroPadrao(codigo_erro::kPosicaoInvalida, "Colecao:Item");
    }
    return std::next(elementos_.begin(), static_cast<std::ptrdiff_t>(posicao - 1))->valor;
  }

  // The element with key `chave` (5 when missing).
  const T& Item(std::string_view chave) const { return Procura(chave, "Colecao:Item")->valor; }

  bool Contem(std::string_view chave) const { return indice_.contains(DobraCaixa(chave)); }

  int32_t Quantidade() const { return static_cast<int32_t>(elementos_.size()); }
  bool Vazia() const { return elementos_.empty(); }

  const_iterator begin() const { return const_iterator(elementos_.begin()); }
  const_iterator end() const { return const_iterator(elementos_.end()); }

 private:
  void Insere(typename Lista::const_iterator antes, T valor, std::optional<std::string> chave) {
    std::string dobrada;
    if (chave) {
      dobrada = DobraCaixa(*chave);
      if (indice_.contains(dobrada)) {
        throw ErroPadrao(codigo_erro::kChaveDuplicada, "Colecao:Adiciona", *chave);
      }
    }
    auto novo = elementos_.insert(antes, Elemento{std::move(valor), std::move(chave)});
    if (novo->chave) indice_.emplace(std::move(dobrada), novo);
  }

  typename Lista::const_iterator Procura(std::string_view chave, const char* origem) const {
    auto achado = indice_.find(DobraCaixa(chave));
    if (achado == indice_.end()) {
      throw ErroPadrao(codigo_erro::kArgumentoInvalido, origem, std::string(chave));
    }
    return achado->second;
  }

  Lista elementos_;
  std::unordered_map<std::string, typename Lista::const_iterator> indice_;
};

}  // namespace tarvik

#endif  // TARVIK_BASE_COLECAO_H_
