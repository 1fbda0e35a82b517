#include "startup/configuracao.h"

#include <algorithm>

#include "base/texto.h"
#include "platform/profile.h"

namespace tarvik {
namespace {

constexpr char kArquivoConfiguracao[] = "atualizador.ini";
constexpr size_t kTamanhoBuffer = 1024;

}  // namespace

std::string LeConfiguracao(const std::string& secao, const std::string& chave) {
  std::string valor =
      platform::ReadProfileString(secao, chave, "", kArquivoConfiguracao, kTamanhoBuffer);
  std::replace(valor.begin(), valor.end(), '\0', ' ');
  return std::string(RemoveEspacos(valor));
}

}  // namespace tarvik
