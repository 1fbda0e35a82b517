#ifndef TARVIK_PLATFORM_UTILITARIOS_H_
#define TARVIK_PLATFORM_UTILITARIOS_H_

#include <cstdint>
#include <memory>
#include <string>

#include "base/fabrica.h"

namespace tarvik {

// Answer of one HTTP GET.
struct RespostaHttp {
  int32_t status = 0;
  std::string textoStatus;
  std::string corpo;  // bytes, as received
};

// Outcome of a check that yields a detail code and a verdict.
struct Verificacao {
  int32_t detalhe = 0;
  bool valido = false;
};

// The `limite` of `BaixaUrlParaArquivo` that cuts nothing.
inline constexpr int64_t kSemLimite = -1;

// Name of the request header that carries the client-environment fragment.
inline constexpr char kCabecalhoInformacaoCliente[] = "X-Informacao-Cliente";

// The utility component: file existence, HTTP download, file hash, code
// signature, exclusive access and temporary file names. Each user creates
// its own instance through `CriaUtilitarios` and releases it when done; no
// state is shared between instances, but for the connections the HTTP
// transport keeps open for later requests to the same server. Failures raise
// `Erro`.
class Utilitarios {
 public:
  virtual ~Utilitarios() = default;

  // SHA-256 of the file's bytes as 64 lower-case hexadecimal digits.
  virtual std::string CalculaHash(const std::string& caminho) = 0;

  // True when a file or a folder exists at `caminho`.
  virtual bool ArquivoExiste(const std::string& caminho) = 0;

  // Creates a new empty file in `pasta` whose name starts with `prefixo`
  // and returns its full path. `numero` 0 lets the component choose.
  virtual std::string CriaArquivoTemporario(const std::string& pasta, const std::string& prefixo,
                                            int32_t numero) = 0;

  // One GET. Characters that cannot stand in a request line (a blank, say)
  // are sent percent-encoded; nothing else of the URL changes. Any status is
  // an answer; a request that cannot be made (no connection, a transfer
  // slower than the floor, one past the overall deadline, a body beyond the
  // size cap) raises `Erro` with the transport's non-zero code and message.
  virtual RespostaHttp BaixaUrl(const std::string& url) = 0;

  // As `BaixaUrl`, but the body of a 200 answer is streamed into `destino`
  // (created anew) instead of memory, so memory does not grow with the file;
  // the answer's `corpo` stays empty. A body longer than `limite` bytes is
  // cut there: the transfer stops and the first `limite` bytes are kept as
  // the whole body. A negative `limite` cuts nothing; no overall deadline
  // applies. On any status but 200, or a transfer that breaks, nothing is
  // left at `destino`.
  virtual RespostaHttp BaixaUrlParaArquivo(const std::string& url, const std::string& destino,
                                           int64_t limite) = 0;

  // The file's code signature: the detail is the HRESULT that WinVerifyTrust
  // gives (0 when valid).
  virtual Verificacao VerificaAssinatura(const std::string& caminho) = 0;

  // False when a process (this one included: its own executable) has the
  // file open or mapped, so that it cannot be replaced now.
  virtual Verificacao VerificaAcessoExclusivo(const std::string& caminho) = 0;

  // The client-environment fragment, sent with every later request as the
  // header `kCabecalhoInformacaoCliente`.
  virtual void InformacaoCliente(const std::string& texto) = 0;
};

template <>
Fabrica<Utilitarios>::Funcao& Fabrica<Utilitarios>::EmUso();

// A new instance from the factory in use.
inline std::unique_ptr<Utilitarios> CriaUtilitarios() { return Fabrica<Utilitarios>::Cria(); }

// Replaces the factory for its lifetime (tests only).
using FabricaUtilitariosDeTeste = Fabrica<Utilitarios>::Substituta;

}  // namespace tarvik

#endif  // TARVIK_PLATFORM_UTILITARIOS_H_
