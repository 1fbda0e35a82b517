#ifndef TARVIK_PLATFORM_WIN32_COM_H_
#define TARVIK_PLATFORM_WIN32_COM_H_

#include <objbase.h>
#include <oleauto.h>

#include <memory>
#include <string_view>

namespace tarvik::platform {

// COM on this thread for the owner's lifetime. A thread that already runs
// COM in another apartment keeps it, and COM is not ended here.
class ApartamentoCom {
 public:
  ApartamentoCom();
  ~ApartamentoCom();
  ApartamentoCom(const ApartamentoCom&) = delete;
  ApartamentoCom& operator=(const ApartamentoCom&) = delete;

 private:
  bool encerra_;
};

struct LiberaCom {
  void operator()(IUnknown* objeto) const { objeto->Release(); }
};

// A COM visual released on destruction.
template <typename Interface>
using Com = std::unique_ptr<Interface, LiberaCom>;

struct LiberaBstr {
  void operator()(BSTR texto) const { ::SysFreeString(texto); }
};

// A BSTR freed on destruction.
using Bstr = std::unique_ptr<OLECHAR, LiberaBstr>;

// `utf8` as a new BSTR.
Bstr NovoBstr(std::string_view utf8);

// A VARIANT cleared on destruction.
struct Variante {
  VARIANT valor;
  Variante() { ::VariantInit(&valor); }
  ~Variante() { ::VariantClear(&valor); }
  Variante(const Variante&) = delete;
  Variante& operator=(const Variante&) = delete;
};

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_COM_H_
