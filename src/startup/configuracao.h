#ifndef TARVIK_STARTUP_CONFIGURACAO_H_
#define TARVIK_STARTUP_CONFIGURACAO_H_

#include <string>

namespace tarvik {

// Section and keys of "atualizador.ini".
inline constexpr char kSecaoConfiguracao[] = "Configuracao";
inline constexpr char kChaveVersao[] = "versao";
inline constexpr char kChaveBase[] = "base";
inline constexpr char kChaveIdInstalador[] = "id_instalador";
inline constexpr char kChaveUrl[] = "url";
inline constexpr char kChaveConta[] = "conta";
inline constexpr char kChaveCnpj[] = "cnpj";

// A value of "atualizador.ini" in the Windows directory: at most 1023
// characters, blanks around it removed. A missing file, section or key gives
// empty text; never fails.
std::string LeConfiguracao(const std::string& secao, const std::string& chave);

}  // namespace tarvik

#endif  // TARVIK_STARTUP_CONFIGURACAO_H_
