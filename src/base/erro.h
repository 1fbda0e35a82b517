#ifndef TARVIK_BASE_ERRO_H_
#define TARVIK_BASE_ERRO_H_

#include <cstdint>
#include <exception>
#include <string>

namespace tarvik {

// Numbers of the runtime errors that platform and container failures carry.
// Support staff know them from years of the updater's logs, so they keep
// their classic values.
namespace codigo_erro {
inline constexpr int32_t kArgumentoInvalido = 5;  // also: missing collection key
inline constexpr int32_t kEstouro = 6;
inline constexpr int32_t kPosicaoInvalida = 9;
inline constexpr int32_t kTipoIncompativel = 13;
inline constexpr int32_t kArquivoNaoEncontrado = 53;
inline constexpr int32_t kErroEntradaSaida = 57;
inline constexpr int32_t kDiscoCheio = 61;
inline constexpr int32_t kPermissaoNegada = 70;  // also: file in use
inline constexpr int32_t kErroAcessoCaminho = 75;
inline constexpr int32_t kCaminhoNaoEncontrado = 76;
inline constexpr int32_t kChaveDuplicada = 457;
}  // namespace codigo_erro

// The one exception type of the program: number, source and description.
class Erro : public std::exception {
 public:
  Erro(int32_t numero, std::string origem, std::string descricao);

  int32_t Numero() const { return numero_; }
  const std::string& Origem() const { return origem_; }
  const std::string& Descricao() const { return descricao_; }
  const char* what() const noexcept override { return descricao_.c_str(); }

 private:
  int32_t numero_;
  std::string origem_;
  std::string descricao_;
};

// The standard description of a runtime error number ("Permissão negada"
// for 70); empty for a number that has none.
std::string DescricaoPadrao(int32_t numero);

// An error with the standard description of its number. A non-empty `detalhe`
// (usually the path concerned) is appended in square brackets, the way the
// log shows values.
Erro ErroPadrao(int32_t numero, std::string origem, const std::string& detalhe = {});

// What a guarded step leaves behind: number 0 on success.
struct ResultadoPasso {
  int32_t numero = 0;
  std::string descricao;

  bool Falhou() const { return numero != 0; }
};

// Runs `passo` and turns an `Erro` it raises into {number, description}.
// Any other exception travels on: it is a fault, not an expected outcome.
template <typename Passo>
ResultadoPasso PassoProtegido(Passo&& passo) {
  try {
    passo();
    return {};
  } catch (const Erro& erro) {
    return {erro.Numero(), erro.Descricao()};
  }
}

// Runs `passo` and ignores an `Erro` it raises; for the stretches that skip
// a failing statement and go on.
template <typename Passo>
void IgnoraFalha(Passo&& passo) {
  try {
    passo();
  } catch (const Erro&) {
  }
}

}  // namespace tarvik

#endif  // TARVIK_BASE_ERRO_H_
