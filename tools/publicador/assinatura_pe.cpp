#include "publicador/assinatura_pe.h"

#include "platform/posix/authenticode/certificate_table.h"
#include "platform/posix/authenticode/file_byte_source.h"
#include "platform/posix/authenticode/pe_layout.h"

namespace tarvik::publicacao {

FormatoExecutavel ExaminaExecutavel(const std::filesystem::path& arquivo) {
  // The signature verifier's own reader, so that what counts as a signed
  // image here is what the verifier will look at.
  platform::FileByteSource imagem(arquivo.string());
  const auto layout = platform::ReadPeLayout(imagem);
  if (!layout) return FormatoExecutavel::kOutro;
  return platform::CertificateTableFits(*layout, imagem.Size())
             ? FormatoExecutavel::kPeAssinado
             : FormatoExecutavel::kPeSemAssinatura;
}

}  // namespace tarvik::publicacao
