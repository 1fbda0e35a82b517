#include "platform/authenticode.h"

#include "base/erro.h"

namespace tarvik::platform {

// Refuses rather than passes: no file may get through a signature check
// unchecked.
int32_t VerifyAuthenticode(std::string_view) {
  throw Erro(codigo_erro::kArgumentoInvalido, "VerificaAssinatura",
             "Verificação de assinatura não disponível nesta plataforma");
}

}  // namespace tarvik::platform
