#include "servidor_referencia/acesso_operador.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

#include <charconv>
#include <stdexcept>
#include <vector>

#include "base/hexadecimal.h"

namespace tarvik::referencia {

namespace {

constexpr std::string_view kEsquema = "pbkdf2-sha256";
constexpr size_t kBytesSal = 16;
constexpr size_t kBytesResumo = 32;

std::string Bytes(std::string_view texto) { return std::string(texto); }

std::string Pbkdf2(std::string_view senha, std::string_view sal, int iteracoes) {
  std::string resumo(kBytesResumo, '\0');
  if (PKCS5_PBKDF2_HMAC(senha.data(), static_cast<int>(senha.size()),
                        reinterpret_cast<const unsigned char*>(sal.data()),
                        static_cast<int>(sal.size()), iteracoes, EVP_sha256(),
                        static_cast<int>(resumo.size()),
                        reinterpret_cast<unsigned char*>(resumo.data())) != 1) {
    throw std::runtime_error("PBKDF2 falhou");
  }
  return resumo;
}

std::string Hex(std::string_view bytes) {
  return HexMinusculo(
      std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
}

// The bytes of lower-case hexadecimal `texto`; empty when it is not.
std::string DeHex(std::string_view texto) {
  std::string bytes;
  if (texto.size() % 2 != 0) return {};
  for (size_t i = 0; i < texto.size(); i += 2) {
    unsigned valor = 0;
    const auto [fim, erro] = std::from_chars(texto.data() + i, texto.data() + i + 2, valor, 16);
    if (erro != std::errc() || fim != texto.data() + i + 2) return {};
    bytes += static_cast<char>(valor);
  }
  return bytes;
}

bool Iguais(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

std::string ResumoSenha(std::string_view senha, int iteracoes) {
  std::string sal(kBytesSal, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(sal.data()), static_cast<int>(sal.size())) != 1)
    throw std::runtime_error("sem bytes aleatórios para o sal da senha");
  return Bytes(kEsquema) + "$" + std::to_string(iteracoes) + "$" + Hex(sal) + "$" +
         Hex(Pbkdf2(senha, sal, iteracoes));
}

AcessoOperador::AcessoOperador(std::string_view resumo) {
  std::vector<std::string_view> partes;
  for (size_t inicio = 0;;) {
    const size_t fim = resumo.find('$', inicio);
    partes.push_back(resumo.substr(inicio, fim - inicio));
    if (fim == std::string_view::npos) break;
    inicio = fim + 1;
  }
  const auto [fim, erro] =
      partes.size() == 4
          ? std::from_chars(partes[1].data(), partes[1].data() + partes[1].size(), iteracoes_)
          : std::from_chars_result{nullptr, std::errc::invalid_argument};
  if (erro != std::errc() || fim != partes[1].data() + partes[1].size() || partes[0] != kEsquema ||
      iteracoes_ < 1) {
    throw std::runtime_error("senha do operador fora da forma " + Bytes(kEsquema) +
                             "$iterações$sal$resumo");
  }
  sal_ = DeHex(partes[2]);
  resumo_ = DeHex(partes[3]);
  if (sal_.empty() || resumo_.size() != kBytesResumo)
    throw std::runtime_error("senha do operador com sal ou resumo inválido");
  // The session key is no secret of its own: whoever holds the stored form
  // could as well try passwords against it.
  const std::string origem = "sessao$" + Bytes(resumo);
  SHA256(reinterpret_cast<const unsigned char*>(origem.data()), origem.size(), chaveSessao_.data());
}

bool AcessoOperador::ConfereSenha(std::string_view senha) const {
  return Iguais(Pbkdf2(senha, sal_, iteracoes_), resumo_);
}

std::string AcessoOperador::Assinatura(std::string_view validade) const {
  std::array<unsigned char, EVP_MAX_MD_SIZE> assinatura{};
  unsigned tamanho = 0;
  HMAC(EVP_sha256(), chaveSessao_.data(), static_cast<int>(chaveSessao_.size()),
       reinterpret_cast<const unsigned char*>(validade.data()), validade.size(), assinatura.data(),
       &tamanho);
  return HexMinusculo(std::span(assinatura.data(), tamanho));
}

std::string AcessoOperador::NovaSessao(int64_t agora) const {
  const std::string validade = std::to_string(agora + kDuracaoSessao);
  return validade + "." + Assinatura(validade);
}

bool AcessoOperador::SessaoValida(std::string_view valor, int64_t agora) const {
  const size_t ponto = valor.find('.');
  if (ponto == std::string_view::npos) return false;
  const std::string_view validade = valor.substr(0, ponto);
  int64_t ate = 0;
  const auto [fim, erro] = std::from_chars(validade.data(), validade.data() + validade.size(), ate);
  if (erro != std::errc() || fim != validade.data() + validade.size()) return false;
  return Iguais(valor.substr(ponto + 1), Assinatura(validade)) && agora < ate;
}

std::string_view ValorCookie(std::string_view cabecalho, std::string_view nome) {
  size_t inicio = 0;
  while (inicio < cabecalho.size()) {
    size_t fim = cabecalho.find(';', inicio);
    if (fim == std::string_view::npos) fim = cabecalho.size();
    std::string_view par = cabecalho.substr(inicio, fim - inicio);
    inicio = fim + 1;
    while (!par.empty() && par.front() == ' ') par.remove_prefix(1);
    if (par.size() > nome.size() && par.starts_with(nome) && par[nome.size()] == '=')
      return par.substr(nome.size() + 1);
  }
  return {};
}

}  // namespace tarvik::referencia
