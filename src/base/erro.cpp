#include "base/erro.h"

#include <utility>

namespace tarvik {

Erro::Erro(int32_t numero, std::string origem, std::string descricao)
    : numero_(numero), origem_(std::move(origem)), descricao_(std::move(descricao)) {}

std::string DescricaoPadrao(int32_t numero) {
  using namespace codigo_erro;
  switch (numero) {
    case kArgumentoInvalido:
      return "Chamada de procedimento ou argumento inválido";
    case kEstouro:
      return "Estouro";
    case kPosicaoInvalida:
      return "Subscrito fora do intervalo";
    case kTipoIncompativel:
      return "Tipos incompatíveis";
    case kArquivoNaoEncontrado:
      return "Arquivo não encontrado";
    case kErroEntradaSaida:
      return "Erro de E/S de dispositivo";
    case kDiscoCheio:
      return "Disco cheio";
    case kPermissaoNegada:
      return "Permissão negada";
    case kErroAcessoCaminho:
      return "Erro de acesso a caminho/arquivo";
    case kCaminhoNaoEncontrado:
      return "Caminho não encontrado";
    case kChaveDuplicada:
      return "Esta chave já está associada a um elemento desta coleção";
    default:
      return {};
  }
}

Erro ErroPadrao(int32_t numero, std::string origem, const std::string& detalhe) {
  std::string descricao = DescricaoPadrao(numero);
  if (!detalhe.empty()) descricao += " [" + detalhe + "]";
  return Erro(numero, std::move(origem), std::move(descricao));
}

}  // namespace tarvik
