#ifndef TARVIK_BASE_FABRICA_H_
#define TARVIK_BASE_FABRICA_H_

#include <functional>
#include <memory>
#include <utility>

namespace tarvik {

// The factory of an external component, which a test may replace: the
// program creates every instance through `Cria`, and a `Substituta` puts
// another factory in place for its lifetime.
template <typename T>
class Fabrica {
 public:
  using Funcao = std::function<std::unique_ptr<T>()>;

  // A new instance from the factory in use.
  static std::unique_ptr<T> Cria() { return EmUso()(); }

  class Substituta {
   public:
    explicit Substituta(Funcao funcao) : anterior_(std::exchange(EmUso(), std::move(funcao))) {}
    ~Substituta() { EmUso() = std::move(anterior_); }
    Substituta(const Substituta&) = delete;
    Substituta& operator=(const Substituta&) = delete;

   private:
    Funcao anterior_;
  };

 private:
  // The factory in use: each component defines it, starting with the
  // platform's own.
  static Funcao& EmUso();
};

}  // namespace tarvik

#endif  // TARVIK_BASE_FABRICA_H_
