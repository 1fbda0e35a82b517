#include "ui/linha_progresso.h"

#include <utility>

namespace tarvik {
namespace {

constexpr std::string_view kInicioLinha = "\r";
constexpr std::string_view kApagaAteFim = "\x1b[K";
constexpr std::string_view kSeparador = " - ";

// The first `maximo` characters of a UTF-8 text.
std::string_view CortaCaracteres(std::string_view texto, size_t maximo) {
  size_t caracteres = 0;
  for (size_t i = 0; i < texto.size(); ++i) {
    // Continuation bytes belong to the character before them.
    if ((static_cast<unsigned char>(texto[i]) & 0xC0) == 0x80) continue;
    if (caracteres++ == maximo) return texto.substr(0, i);
  }
  return texto;
}

}  // namespace

LinhaProgresso::LinhaProgresso(Escrita escreve, size_t colunas)
    : escreve_(std::move(escreve)), colunas_(colunas) {}

void LinhaProgresso::Titulo(const std::string& valor) {
  titulo_ = valor;
  Redesenha();
}

void LinhaProgresso::Mensagem(const std::string& valor) {
  mensagem_ = valor;
  Redesenha();
}

void LinhaProgresso::TrocaMensagemTitulo(const std::string& ptitulo, const std::string& pmensagem) {
  Mensagem(pmensagem);
  Titulo(ptitulo);
}

void LinhaProgresso::Finaliza() { escreve_(std::string(kInicioLinha) + std::string(kApagaAteFim)); }

void LinhaProgresso::Redesenha() {
  std::string texto = titulo_;
  if (!titulo_.empty() && !mensagem_.empty()) texto += kSeparador;
  texto += mensagem_;
  // The last column stays free: writing into it makes some terminals wrap.
  const size_t largura = colunas_ > 1 ? colunas_ - 1 : 0;
  escreve_(std::string(kInicioLinha) + std::string(CortaCaracteres(texto, largura)) +
           std::string(kApagaAteFim));
}

}  // namespace tarvik
