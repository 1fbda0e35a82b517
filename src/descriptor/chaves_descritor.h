#ifndef TARVIK_DESCRIPTOR_CHAVES_DESCRITOR_H_
#define TARVIK_DESCRIPTOR_CHAVES_DESCRITOR_H_

#include <string_view>

// Names of the update descriptor's sections and keys, for the parser and for
// the tools that write descriptors. The keys of an entry are a stem followed
// by the entry's index.
namespace tarvik::chave_descritor {

inline constexpr std::string_view kSecaoSequencia = "sequenciaAtualizacao";
inline constexpr std::string_view kSecaoOriginais = "arquivosOriginais";
inline constexpr std::string_view kItens = "itens";
inline constexpr std::string_view kAtualizar = "atualizar";
inline constexpr std::string_view kVersao = "versao";
inline constexpr std::string_view kAtualizarAtualizador = "atualizar_atualizador";
inline constexpr std::string_view kAcao = "acao_";
inline constexpr std::string_view kCaminho = "caminho_";
inline constexpr std::string_view kDestino = "destino_";
inline constexpr std::string_view kTamanho = "tamanho_";
inline constexpr std::string_view kHash = "hash_";
inline constexpr std::string_view kAuthenticode = "authenticode_";
inline constexpr std::string_view kArquivoAtualizador = "arquivo_atualizador_";

}  // namespace tarvik::chave_descritor

#endif  // TARVIK_DESCRIPTOR_CHAVES_DESCRITOR_H_
