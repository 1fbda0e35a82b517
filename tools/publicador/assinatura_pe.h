#ifndef TARVIK_TOOLS_PUBLICADOR_ASSINATURA_PE_H_
#define TARVIK_TOOLS_PUBLICADOR_ASSINATURA_PE_H_

#include <filesystem>

namespace tarvik::publicacao {

enum class FormatoExecutavel {
  kOutro,            // not a PE image
  kPeSemAssinatura,  // a PE image without a certificate table
  kPeAssinado,       // a PE image that carries a certificate table
};

// Whether the file is a PE image (by its headers, whatever its name) and
// whether it carries a signature, valid or not: the updater is then asked to
// verify it. Raises `Erro` when the file cannot be read.
FormatoExecutavel ExaminaExecutavel(const std::filesystem::path& arquivo);

}  // namespace tarvik::publicacao

#endif  // TARVIK_TOOLS_PUBLICADOR_ASSINATURA_PE_H_
