#include "platform/win32/sha256_cng.h"

#include <windows.h>
// After windows.h, which bcrypt.h needs.
#include <bcrypt.h>

#include <memory>
#include <vector>

#include "base/erro.h"
#include "base/hexadecimal.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace tarvik::platform {
namespace {

constexpr char kOrigem[] = "CalculaHash";
constexpr char kSha256Falhou[] = "SHA-256 falhou";
// Big reads keep the hash at the speed of the processor's SHA instructions.
constexpr DWORD kBloco = 1 << 20;
constexpr ULONG kTamanhoDigest = 32;

void Confere(NTSTATUS estado) {
  if (!BCRYPT_SUCCESS(estado)) throw Erro(codigo_erro::kErroEntradaSaida, kOrigem, kSha256Falhou);
}

struct FechaAlgoritmo {
  void operator()(BCRYPT_ALG_HANDLE algoritmo) const {
    ::BCryptCloseAlgorithmProvider(algoritmo, 0);
  }
};
struct DestroiHash {
  void operator()(BCRYPT_HASH_HANDLE hash) const { ::BCryptDestroyHash(hash); }
};

}  // namespace

std::string Sha256Hex(const std::string& caminho) {
  const UniqueHandle arquivo =
      UniqueHandle(::CreateFileW(ToWide(caminho).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!arquivo.Valid()) throw ErroDeWin32EmArquivo(::GetLastError(), kOrigem, caminho);

  BCRYPT_ALG_HANDLE algoritmoBruto = nullptr;
  Confere(::BCryptOpenAlgorithmProvider(&algoritmoBruto, BCRYPT_SHA256_ALGORITHM, nullptr, 0));
  const std::unique_ptr<void, FechaAlgoritmo> algoritmo(algoritmoBruto);
  BCRYPT_HASH_HANDLE hashBruto = nullptr;
  // CNG keeps the hash object itself (Windows 7 and later).
  Confere(::BCryptCreateHash(algoritmoBruto, &hashBruto, nullptr, 0, nullptr, 0, 0));
  const std::unique_ptr<void, DestroiHash> hash(hashBruto);

  std::vector<UCHAR> bloco(kBloco);
  for (;;) {
    DWORD lidos = 0;
    if (!::ReadFile(arquivo.Get(), bloco.data(), kBloco, &lidos, nullptr)) {
      throw ErroDeWin32EmArquivo(::GetLastError(), kOrigem, caminho);
    }
    if (lidos == 0) break;
    Confere(::BCryptHashData(hashBruto, bloco.data(), lidos, 0));
  }
  UCHAR digest[kTamanhoDigest];
  Confere(::BCryptFinishHash(hashBruto, digest, kTamanhoDigest, 0));
  return HexMinusculo(digest);
}

}  // namespace tarvik::platform
