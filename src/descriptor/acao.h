#ifndef TARVIK_DESCRIPTOR_ACAO_H_
#define TARVIK_DESCRIPTOR_ACAO_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvik {

// Action codes of the descriptor's entries. All but `kExecutarMsi` are also
// the codes of the tasks of the same names.
namespace acao {
inline constexpr int32_t kSubstituirArquivo = 9;
inline constexpr int32_t kCopiarNovoArquivo = 10;
inline constexpr int32_t kExecutarMsi = 11;
inline constexpr int32_t kRemoverArquivo = 12;
inline constexpr int32_t kRemoverPasta = 13;
inline constexpr int32_t kCriarPasta = 14;
}  // namespace acao

// The code of the action named `nome`, compared exactly (letter case
// included); nothing for any other name. Never fails.
std::optional<int32_t> ProcuraAcao(std::string_view nome);

// The code of the action named `nome`, compared exactly (letter case
// included). Any other name raises error 1, "Nome de ação [nome] inválido".
int32_t PesquisaAcao(std::string_view nome);

}  // namespace tarvik

#endif  // TARVIK_DESCRIPTOR_ACAO_H_
