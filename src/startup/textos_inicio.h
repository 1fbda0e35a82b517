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
inline constexpr char kAguardandoOutraExecucao[] =
    "Outra execução do atualizador está em andamento nesta instalação. Aguardando o seu fim";

inline std::string VersaoReinicio(const std::string& argumento, const std::string& atual) {
  return "Versão reinicio: [" + argumento + "] atual [" + atual + "]";
}

inline std::string AtualizacaoNaoNecessaria(int64_t dias) {
  return "Atualização não necessária agora. Será em " + std::to_string(dias) + " dia(s)";
}

// Caption of every message box of the program.
inline constexpr char kTituloAtualizador[] = "Atualizador TARVIK";
inline constexpr char kProgramaNaoEncontrado[] = "Não foi possível encontrar o programa TARVIK";

// M1: the updater replaced itself and restarts.
inline constexpr char kAtualizadorReinicia[] =
    "O atualizador do sistema foi atualizado. Ele irá reiniciar agora para buscar atualizações "
    "no TARVIK";
// M2: a file of the application is in use.
inline constexpr char kArquivosEmUso[] =
    "Um ou mais arquivos do TARVIK estão em uso, não é possível efetuar a atualização.";
// M3: the update failed.
inline constexpr char kFalhaInstalacao[] =
    "Não foi possível concluir a instalação do software.\r\n"
    "Por favor verifique com o administrador da sua rede se existe algum tipo de restrição (de "
    "Proxy ou Firewall por exemplo) ou se você não é administrador da máquina.\r\n\r\n"
    "Para uma nova tentativa, encerre o software e execute-o novamente.\r\n\r\n"
    "Para continuar trabalhando com a versão atual, clique em OK.";

}  // namespace tarvik::textos

#endif  // TARVIK_STARTUP_TEXTOS_INICIO_H_
