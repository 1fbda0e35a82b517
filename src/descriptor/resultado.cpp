#include "descriptor/resultado.h"

#include "base/erro.h"

namespace tarvik {

namespace {
constexpr int32_t kResultadoDesconhecido = 4;
}  // namespace

std::string NomeResultado(Resultado codigo) {
  switch (codigo) {
    case Resultado::kSucessoInstalacao:
      return "SucessoInstalacao";
    case Resultado::kFalhaInstalacao:
      return "FalhaInstalacao";
    case Resultado::kFalhaArquivosEmUso:
      return "FalhaArquivosEmUso";
    case Resultado::kNadaAFazer:
      return "NadaAFazer";
    case Resultado::kArquivosEmUsoReiniciar:
      return "ArquivosEmUsoReiniciar";
  }
  throw Erro(kResultadoDesconhecido, "NomeResultado",
             "Resultado desconhecido: " + std::to_string(static_cast<int32_t>(codigo)));
}

}  // namespace tarvik
