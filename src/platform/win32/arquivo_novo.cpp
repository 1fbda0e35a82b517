#include "platform/win32/arquivo_novo.h"

#include <windows.h>
// After windows.h, which bcrypt.h needs.
#include <bcrypt.h>

#include <string_view>

#include "base/erro.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/wide_text.h"

namespace tarvik::platform {
namespace {

constexpr std::string_view kAlfabeto =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t kLetrasAleatorias = 6;
// A name taken this many times in a row means something other than chance.
constexpr int kTentativas = 100;

std::string LetrasAleatorias(const std::string& origem, const std::string& detalhe) {
  UCHAR bytes[kLetrasAleatorias];
  if (!BCRYPT_SUCCESS(
          ::BCryptGenRandom(nullptr, bytes, sizeof(bytes), BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    throw ErroPadrao(codigo_erro::kErroEntradaSaida, origem, detalhe);
  }
  std::string letras;
  for (const UCHAR byte : bytes) letras += kAlfabeto[byte % kAlfabeto.size()];
  return letras;
}

}  // namespace

ArquivoNovo CriaArquivoNovo(const std::string& inicio, const std::string& origem,
                            const std::string& detalhe) {
  DWORD erro = ERROR_FILE_EXISTS;
  for (int tentativa = 0; tentativa < kTentativas; ++tentativa) {
    std::string nome = inicio + LetrasAleatorias(origem, detalhe);
    // A link already standing at the name counts as taken, not followed.
    UniqueHandle handle = UniqueHandle(
        ::CreateFileW(ToWide(nome).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (handle.Valid()) return {std::move(handle), std::move(nome)};
    erro = ::GetLastError();
    if (erro != ERROR_FILE_EXISTS && erro != ERROR_ALREADY_EXISTS) break;
  }
  throw ErroDeWin32EmArquivo(erro, origem, detalhe);
}

}  // namespace tarvik::platform
