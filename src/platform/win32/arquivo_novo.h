#ifndef TARVIK_PLATFORM_WIN32_ARQUIVO_NOVO_H_
#define TARVIK_PLATFORM_WIN32_ARQUIVO_NOVO_H_

#include <string>

#include "platform/win32/unique_handle.h"

namespace tarvik::platform {

struct ArquivoNovo {
  UniqueHandle handle;  // open for writing
  std::string nome;
};

// Creates a file that did not exist, named `inicio` followed by six random
// letters and digits. A failure raises the classic error of `origem` with
// `detalhe` (a missing folder is 76).
ArquivoNovo CriaArquivoNovo(const std::string& inicio, const std::string& origem,
                            const std::string& detalhe);

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_ARQUIVO_NOVO_H_
