#ifndef TARVIK_STARTUP_TEXTOS_INICIO_H_
#define TARVIK_STARTUP_TEXTOS_INICIO_H_

#include <cstdint>
#include <string>

// The log lines and messages of start-up, each written once.
namespace tarvik::textos {

inline constexpr char kInicio[] = "Inicio";
inline constexpr char kFimSemBusca[] = "Fim (não buscou nova versão)";
inline constexpr char kFimProcesso[] = "Fim (processo executado)";
inline constexpr char kReinicioIgualAtual[] =
    "A versão de reinício é igual a atual. Isto pode indicar falha no processo de atualização do "
    "atualizador";
inline constexpr char kControleNaoExiste[] =
    "Arquivo de controle de atualização não existe. Irá forçar a execução do atualizador";
inline constexpr char kCriandoControle[] = "Criando arquivo de marcação do atualizador";

inline std::string VersaoReinicio(const std::string& argumento, const std::string& atual) {
  return "Versão reinicio: [" + argumento + "] atual [" + atual + "]";
}

inline std::string AtualizacaoNaoNecessaria(int64_t dias) {
  return "Atualização não necessária agora. Será em " + std::to_string(dias) + " dia(s)";
}

// Caption of every message box of the program.
inline constexpr char kTituloAtualizador[] = "Atualizador TARVIK";
inline constexpr char kProgramaNaoEncontrado[] = "Não foi possível encontrar o programa TARVIK";

}  // namespace tarvik::textos

#endif  // TARVIK_STARTUP_TEXTOS_INICIO_H_
