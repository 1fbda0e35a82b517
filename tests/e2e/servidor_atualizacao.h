#ifndef TARVIK_TESTS_E2E_SERVIDOR_ATUALIZACAO_H_
#define TARVIK_TESTS_E2E_SERVIDOR_ATUALIZACAO_H_

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "support/servidor_local.h"

namespace tarvik::teste {

// One entry of a descriptor's sequence section; a file's size and hash are
// those of `conteudo`, and it asks for no signature.
struct EntradaDescritor {
  std::string acao;
  std::string caminho;
  std::string destino = "$base$\\";
  std::string conteudo{};
  bool arquivoAtualizador = false;
};

// An installed file the update replaces or removes: its path, its content.
using Original = std::pair<std::string, std::string>;

// A descriptor that updates to `versao` with `entradas` (empty `versao` for
// one that says no update is due), from `versaoOriginal` whose changed
// files are `originais`.
std::string Descritor(const std::string& versao, bool atualizarAtualizador,
                      const std::vector<EntradaDescritor>& entradas,
                      const std::string& versaoOriginal = "",
                      const std::vector<Original>& originais = {});

// A scripted update server on 127.0.0.1: the check address answers the
// updater's and the application's checks with what the test set, serves
// files under /arquivos/, and records every request.
class ServidorAtualizacao {
 public:
  static constexpr char kCaminho[] = "/tarvik/VerificaAtualizacao.aspx";

  ServidorAtualizacao();

  struct Resposta {
    int status = 200;
    std::string corpo = Descritor("", false, {});
  };
  // What the updater's check (`atualizador`) or the application's gets.
  void Responde(bool atualizador, Resposta resposta) {
    std::lock_guard trava(mutex_);
    respostas_[atualizador] = std::move(resposta);
  }
  // Serves `conteudo` at /arquivos/<nome>; returns its URL.
  std::string Arquivo(const std::string& nome, const std::string& conteudo) {
    return http_.Publica(nome, conteudo);
  }

  // Runs `acao` once, when a result report arrives and before it is
  // answered: the updater has then run its script and waits.
  void AoRelatorio(std::function<void()> acao) {
    std::lock_guard trava(mutex_);
    aoRelatorio_ = std::move(acao);
  }

  // Runs `acao` with the path and query of every request, before it is
  // answered: the updater waits meanwhile.
  void AoPedido(std::function<void(const std::string&)> acao) { http_.AoPedido(std::move(acao)); }

  std::string UrlVerificacao() const { return http_.Url(kCaminho); }
  std::vector<std::string> Pedidos() const { return http_.Pedidos(); }

 private:
  std::mutex mutex_;
  Resposta respostas_[2];
  std::function<void()> aoRelatorio_;
  ServidorLocal http_;
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_E2E_SERVIDOR_ATUALIZACAO_H_
