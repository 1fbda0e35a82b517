
#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/hexadecimal.h"
#include "platform/authenticode.h"
#include "platform/files.h"
#include "platform/posix/http_curl.h"
#include "platform/posix/in_use.h"
#include "platform/posix/posix_error.h"
#include "platform/posix/unique_fd.h"
#include "platform/utilitarios_da_plataforma.h"

namespace tarvik {
namespace platform {
namespace {

// Big reads keep the hash at the speed of the processor's SHA instructions.
constexpr size_t kHashBlock = 1 << 20;
// What Windows reports for a file held by another process.
constexpr int32_t kSharingViolation = 32;
constexpr char kSha256Falhou[] = "SHA-256 falhou";

std::string Sha256Hex(const std::string& path) {
  const std::string native = NativePath(path);
  UniqueFd fd(::open(native.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) throw ErroDeErrno(errno, "CalculaHash", native);
  ::posix_fadvise(fd.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);

  std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) {
    throw Erro(codigo_erro::kErroEntradaSaida, "CalculaHash", kSha256Falhou);
  }
  // No larger than the file: clearing a large block for each of thousands
  // of small files costs more than hashing them.
  struct stat info {};
  const off_t size = ::fstat(fd.Get(), &info) == 0 ? info.st_size : off_t{kHashBlock};
  std::vector<unsigned char> block(static_cast<size_t>(std::clamp<off_t>(size, 1, kHashBlock)));
  for (;;) {
    const ssize_t got = ::read(fd.Get(), block.data(), block.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      throw ErroDeErrno(errno, "CalculaHash", native);
    }
    if (got == 0) break;
    if (EVP_DigestUpdate(context.get(), block.data(), static_cast<size_t>(got)) != 1) {
      throw Erro(codigo_erro::kErroEntradaSaida, "CalculaHash", kSha256Falhou);
    }
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) {
    throw Erro(codigo_erro::kErroEntradaSaida, "CalculaHash", kSha256Falhou);
  }
  return HexMinusculo({digest, length});
}

class PosixUtilitarios : public Utilitarios {
 public:
  explicit PosixUtilitarios(const HttpOptions& options) : options_(options) {}

  std::string CalculaHash(const std::string& caminho) override { return Sha256Hex(caminho); }

  bool ArquivoExiste(const std::string& caminho) override { return PathExists(caminho); }

  std::string CriaArquivoTemporario(const std::string& pasta, const std::string& prefixo,
                                    int32_t numero) override {
    const std::string folder = NativePath(pasta);
    std::string name = folder + (folder.ends_with('/') ? "" : "/") + prefixo +
                       (numero != 0 ? std::to_string(numero) : "") + "XXXXXX";
    UniqueFd fd(::mkstemp(name.data()));
    if (!fd.Valid()) {
      // ENOENT here means the folder itself is missing.
      if (errno == ENOENT)
        throw ErroPadrao(codigo_erro::kCaminhoNaoEncontrado, "CriaArquivoTemporario", folder);
      throw ErroDeErrno(errno, "CriaArquivoTemporario", folder);
    }
    return name;
  }

  RespostaHttp BaixaUrl(const std::string& url) override { return HttpGet(url, header_, options_); }

  RespostaHttp BaixaUrlParaArquivo(const std::string& url, const std::string& destino,
                                   int64_t limite) override {
    return HttpGet(url, header_, options_, destino, limite);
  }

  Verificacao VerificaAssinatura(const std::string& caminho) override {
    const int32_t detalhe = VerifyAuthenticode(caminho);
    return {detalhe, detalhe == kTrustValid};
  }

  Verificacao VerificaAcessoExclusivo(const std::string& caminho) override {
    if (IsInUse(NativePath(caminho))) return {kSharingViolation, false};
    return {0, true};
  }

  void InformacaoCliente(const std::string& texto) override { header_ = ClientHeaderLine(texto); }

 private:
  HttpOptions options_;
  std::string header_;
};

}  // namespace

}  // namespace platform

std::unique_ptr<Utilitarios> CriaUtilitariosDaPlataforma(const platform::HttpOptions& limites) {
  return std::make_unique<platform::PosixUtilitarios>(limites);
}

}  // namespace tarvik
