#ifndef TARVIK_TESTS_SUPPORT_UTILITARIOS_FALSOS_H_
#define TARVIK_TESTS_SUPPORT_UTILITARIOS_FALSOS_H_

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/utilitarios.h"
#include "platform/utilitarios_da_plataforma.h"

namespace tarvik::teste {

// What a fake component answers instead of the real one; an empty function
// leaves the operation to the platform's component.
struct RespostasFalsas {
  std::function<Verificacao(const std::string&)> verificaAssinatura;
  std::function<Verificacao(const std::string&)> verificaAcessoExclusivo;
  std::function<RespostaHttp(const std::string&, const std::string&, int64_t)> baixaUrlParaArquivo;
};

// The platform's component with some operations replaced.
class UtilitariosFalsos : public Utilitarios {
 public:
  explicit UtilitariosFalsos(std::shared_ptr<const RespostasFalsas> respostas)
      : real_(CriaUtilitariosDaPlataforma({})), respostas_(std::move(respostas)) {}

  std::string CalculaHash(const std::string& caminho) override {
    return real_->CalculaHash(caminho);
  }
  bool ArquivoExiste(const std::string& caminho) override { return real_->ArquivoExiste(caminho); }
  std::string CriaArquivoTemporario(const std::string& pasta, const std::string& prefixo,
                                    int32_t numero) override {
    return real_->CriaArquivoTemporario(pasta, prefixo, numero);
  }
  RespostaHttp BaixaUrl(const std::string& url) override { return real_->BaixaUrl(url); }
  RespostaHttp BaixaUrlParaArquivo(const std::string& url, const std::string& destino,
                                   int64_t limite) override {
    return respostas_->baixaUrlParaArquivo ? respostas_->baixaUrlParaArquivo(url, destino, limite)
                                           : real_->BaixaUrlParaArquivo(url, destino, limite);
  }
  Verificacao VerificaAssinatura(const std::string& caminho) override {
    return respostas_->verificaAssinatura ? respostas_->verificaAssinatura(caminho)
                                          : real_->VerificaAssinatura(caminho);
  }
  Verificacao VerificaAcessoExclusivo(const std::string& caminho) override {
    return respostas_->verificaAcessoExclusivo ? respostas_->verificaAcessoExclusivo(caminho)
                                               : real_->VerificaAcessoExclusivo(caminho);
  }
  void InformacaoCliente(const std::string& texto) override { real_->InformacaoCliente(texto); }

 private:
  std::unique_ptr<Utilitarios> real_;
  std::shared_ptr<const RespostasFalsas> respostas_;
};

// Makes every component created during its lifetime a fake with `respostas`.
class FabricaFalsa {
 public:
  explicit FabricaFalsa(RespostasFalsas respostas)
      : fabrica_([r = std::make_shared<const RespostasFalsas>(std::move(respostas))] {
          return std::make_unique<UtilitariosFalsos>(r);
        }) {}

 private:
  FabricaUtilitariosDeTeste fabrica_;
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SUPPORT_UTILITARIOS_FALSOS_H_
