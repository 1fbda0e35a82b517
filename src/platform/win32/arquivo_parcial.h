#ifndef TARVIK_PLATFORM_WIN32_ARQUIVO_PARCIAL_H_
#define TARVIK_PLATFORM_WIN32_ARQUIVO_PARCIAL_H_

#include <cstdint>
#include <string>

#include "platform/win32/unique_handle.h"

namespace tarvik::platform {

// The sibling of a download's destination that receives the body. It
// replaces the destination only through `Substitui`; otherwise it is
// removed on destruction, so that a broken transfer leaves nothing behind.
class ArquivoParcial {
 public:
  // Creates the sibling; failures raise the classic error of `origem`.
  ArquivoParcial(const std::string& destino, const std::string& origem);
  ~ArquivoParcial();
  ArquivoParcial(const ArquivoParcial&) = delete;
  ArquivoParcial& operator=(const ArquivoParcial&) = delete;

  void Escreve(const char* dados, uint32_t tamanho);
  // Closes the sibling and renames it over the destination.
  void Substitui();

 private:
  std::string destino_;
  std::string origem_;
  std::string nome_;
  UniqueHandle handle_;
  bool substituiu_ = false;
};

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_ARQUIVO_PARCIAL_H_
