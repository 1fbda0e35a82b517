#include "descriptor/acao.h"

#include <array>
#include <string>
#include <utility>

#include "base/erro.h"

namespace tarvik {

namespace {

constexpr int32_t kNomeAcaoInvalido = 1;

constexpr std::array<std::pair<std::string_view, int32_t>, 6> kAcoes{{
    {"SubstituirArquivo", acao::kSubstituirArquivo},
    {"CopiarNovoArquivo", acao::kCopiarNovoArquivo},
    {"ExecutarMsi", acao::kExecutarMsi},
    {"RemoverArquivo", acao::kRemoverArquivo},
    {"RemoverPasta", acao::kRemoverPasta},
    {"CriarPasta", acao::kCriarPasta},
}};

}  // namespace

std::optional<int32_t> ProcuraAcao(std::string_view nome) {
  for (const auto& [nomeAcao, codigo] : kAcoes) {
    if (nomeAcao == nome) return codigo;
  }
  return std::nullopt;
}

int32_t PesquisaAcao(std::string_view nome) {
  if (const auto codigo = ProcuraAcao(nome)) return *codigo;
  throw Erro(kNomeAcaoInvalido, "PesquisaAcao",
             "Nome de ação [" + std::string(nome) + "] inválido");
}

}  // namespace tarvik
