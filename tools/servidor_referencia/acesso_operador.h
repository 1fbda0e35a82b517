#ifndef TARVIK_TOOLS_SERVIDOR_REFERENCIA_ACESSO_OPERADOR_H_
#define TARVIK_TOOLS_SERVIDOR_REFERENCIA_ACESSO_OPERADOR_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik::referencia {

// Name of the session cookie of the dashboard.
inline constexpr char kCookieSessao[] = "tarvik_sessao";
// How long a session lasts, in seconds.
inline constexpr int64_t kDuracaoSessao = 8 * 3600;
// PBKDF2 rounds of a new password hash.
inline constexpr int kIteracoesSenha = 200000;

// The stored form of `senha`: "pbkdf2-sha256$<rounds>$<salt>$<hash>", salt
// and hash in hexadecimal, the salt random. Raises std::runtime_error when
// no random salt can be had.
std::string ResumoSenha(std::string_view senha, int iteracoes = kIteracoesSenha);

// Who may read the reports: the operator who knows the password whose
// stored form the object was made with. A session is a cookie value
// "<expiry>.<HMAC of the expiry>" keyed by the stored form, so every server
// given the same stored form accepts the sessions of the others, and none
// needs to remember them.
class AcessoOperador {
 public:
  // Raises std::runtime_error when `resumo` is not a stored form.
  explicit AcessoOperador(std::string_view resumo);

  // True when `senha` is the password. Compares in constant time.
  bool ConfereSenha(std::string_view senha) const;

  // The cookie value of a new session, valid until `agora` plus
  // kDuracaoSessao.
  std::string NovaSessao(int64_t agora) const;

  // True when `valor` is an unexpired session of this password.
  bool SessaoValida(std::string_view valor, int64_t agora) const;

 private:
  std::string Assinatura(std::string_view validade) const;

  int iteracoes_ = 0;
  std::string sal_;
  std::string resumo_;
  std::array<unsigned char, 32> chaveSessao_{};
};

// The value of cookie `nome` in a Cookie header; empty when absent.
std::string_view ValorCookie(std::string_view cabecalho, std::string_view nome);

}  // namespace tarvik::referencia

#endif  // TARVIK_TOOLS_SERVIDOR_REFERENCIA_ACESSO_OPERADOR_H_
