#include <windows.h>

#include <initializer_list>
#include <string>

#include "platform/authenticode.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/utilitarios_da_plataforma.h"
#include "platform/win32/arquivo_novo.h"
#include "platform/win32/http_winhttp.h"
#include "platform/win32/sha256_cng.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace tarvik {
namespace platform {
namespace {

class Win32Utilitarios : public Utilitarios {
 public:
  explicit Win32Utilitarios(const HttpOptions& options) : http_(options) {}

  std::string CalculaHash(const std::string& caminho) override { return Sha256Hex(caminho); }

  bool ArquivoExiste(const std::string& caminho) override { return PathExists(caminho); }

  std::string CriaArquivoTemporario(const std::string& pasta, const std::string& prefixo,
                                    int32_t numero) override {
    const bool comBarra = pasta.ends_with('\\') || pasta.ends_with('/');
    const std::string inicio =
        pasta + (comBarra ? "" : "\\") + prefixo + (numero != 0 ? std::to_string(numero) : "");
    // Only the name is wanted: the file stays, empty, for the caller.
    return CriaArquivoNovo(inicio, "CriaArquivoTemporario", pasta).nome;
  }

  RespostaHttp BaixaUrl(const std::string& url) override { return http_.Get(url, header_); }

  RespostaHttp BaixaUrlParaArquivo(const std::string& url, const std::string& destino,
                                   int64_t limite) override {
    return http_.Get(url, header_, destino, limite);
  }

  Verificacao VerificaAssinatura(const std::string& caminho) override {
    const int32_t detalhe = VerifyAuthenticode(caminho);
    return {detalhe, detalhe == kTrustValid};
  }

  Verificacao VerificaAcessoExclusivo(const std::string& caminho) override {
    const std::wstring largo = ToWide(caminho);
    // An open that shares nothing is refused while any other holds the file;
    // asking to write is refused, too, while a running program's image maps
    // it. A file we may not write is still tested for the others.
    DWORD erro = ERROR_SUCCESS;
    for (const DWORD acesso : {GENERIC_READ | GENERIC_WRITE, GENERIC_READ}) {
      const UniqueHandle arquivo = UniqueHandle(::CreateFileW(
          largo.c_str(), acesso, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (arquivo.Valid()) return {0, true};
      erro = ::GetLastError();
      if (erro != ERROR_ACCESS_DENIED) break;
    }
    // A file that is not there is not in use.
    if (erro == ERROR_FILE_NOT_FOUND || erro == ERROR_PATH_NOT_FOUND) return {0, true};
    return {static_cast<int32_t>(erro), false};
  }

  void InformacaoCliente(const std::string& texto) override { header_ = ClientHeaderLine(texto); }

 private:
  ClienteWinHttp http_;
  std::string header_;
};

}  // namespace

}  // namespace platform

std::unique_ptr<Utilitarios> CriaUtilitariosDaPlataforma(const platform::HttpOptions& limites) {
  return std::make_unique<platform::Win32Utilitarios>(limites);
}

}  // namespace tarvik
