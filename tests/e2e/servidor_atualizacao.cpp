#include "e2e/servidor_atualizacao.h"

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <bcrypt.h>
// clang-format on
#else
#include <openssl/evp.h>
#endif

#include <utility>

#include "base/hexadecimal.h"

namespace tarvik::teste {
namespace {

std::string Sha256(const std::string& conteudo) {
#ifdef _WIN32
  unsigned char resumo[32];
  const unsigned int tamanho = sizeof resumo;
  BCRYPT_ALG_HANDLE algoritmo = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  BCryptOpenAlgorithmProvider(&algoritmo, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
  BCryptCreateHash(algoritmo, &hash, nullptr, 0, nullptr, 0, 0);
  BCryptHashData(hash, reinterpret_cast<unsigned char*>(const_cast<char*>(conteudo.data())),
                 static_cast<ULONG>(conteudo.size()), 0);
  BCryptFinishHash(hash, resumo, tamanho, 0);
  BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algoritmo, 0);
#else
  unsigned char resumo[EVP_MAX_MD_SIZE];
  unsigned int tamanho = 0;
  EVP_Digest(conteudo.data(), conteudo.size(), resumo, &tamanho, EVP_sha256(), nullptr);
#endif
  return HexMinusculo({resumo, tamanho});
}

}  // namespace

std::string Descritor(const std::string& versao, bool atualizarAtualizador,
                      const std::vector<EntradaDescritor>& entradas,
                      const std::string& versaoOriginal, const std::vector<Original>& originais) {
  std::string texto =
      "[sequenciaAtualizacao]\r\nitens=" + std::to_string(entradas.size()) +
      "\r\natualizar=" + (versao.empty() ? "false" : "true") + "\r\nversao=" + versao +
      "\r\natualizar_atualizador=" + (atualizarAtualizador ? "true" : "false") + "\r\n";
  for (size_t i = 0; i < entradas.size(); ++i) {
    const auto& e = entradas[i];
    const std::string n = std::to_string(i + 1);
    texto += "acao_" + n + "=" + e.acao + "\r\ncaminho_" + n + "=" + e.caminho + "\r\ndestino_" +
             n + "=" + e.destino + "\r\n";
    if (e.acao.ends_with("Arquivo")) {
      // A file to remove has no content to check.
      texto += "tamanho_" + n + "=" + std::to_string(e.conteudo.size()) + "\r\nhash_" + n + "=" +
               (e.acao == "RemoverArquivo" ? "" : Sha256(e.conteudo)) + "\r\nauthenticode_" + n +
               "=false\r\narquivo_atualizador_" + n + "=" +
               (e.arquivoAtualizador ? "true" : "false") + "\r\n";
    }
  }
  texto += "[arquivosOriginais]\r\nversao=" + versaoOriginal +
           "\r\nitens=" + std::to_string(originais.size()) + "\r\n";
  for (size_t i = 0; i < originais.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    texto += "caminho_" + n + "=" + originais[i].first + "\r\ntamanho_" + n + "=" +
             std::to_string(originais[i].second.size()) + "\r\nhash_" + n + "=" +
             Sha256(originais[i].second) + "\r\nauthenticode_" + n + "=false\r\n";
  }
  return texto;
}

ServidorAtualizacao::ServidorAtualizacao() {
  http_.Http().Get(kCaminho, [this](const httplib::Request& pedido, httplib::Response& resposta) {
    std::unique_lock trava(mutex_);
    if (pedido.has_param("operacao")) {  // a result report
      const auto acao = std::exchange(aoRelatorio_, nullptr);
      trava.unlock();
      if (acao) acao();
      return;
    }
    const Resposta& escolhida = respostas_[pedido.has_param("atualizador")];
    resposta.status = escolhida.status;
    resposta.set_content(escolhida.corpo, "text/plain");
  });
  http_.Inicia();
}

}  // namespace tarvik::teste
