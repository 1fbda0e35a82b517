#ifndef TARVIK_TESTS_SUPPORT_PROCESSO_H_
#define TARVIK_TESTS_SUPPORT_PROCESSO_H_

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tarvik::teste {

struct ResultadoProcesso {
  int status = -1;  // exit status; -1 when it did not exit normally
  std::string saida;
  std::string erros;
};

// Runs `programa` with `argumentos` in `pasta`, with the environment of the
// tests plus `ambiente` (name, value; an empty value removes the variable),
// `entrada` as its standard input, and waits for it to end.
ResultadoProcesso Executa(const std::filesystem::path& programa,
                          const std::vector<std::string>& argumentos,
                          const std::filesystem::path& pasta,
                          const std::vector<std::pair<std::string, std::string>>& ambiente = {},
                          const std::string& entrada = {});

// What `Executa` does on each system: runs and waits for `programa` with
// standard input from the file `entrada` and output and errors into the
// files `saida` and `erros`; its exit status, -1 when it did not exit
// normally.
int ExecutaComArquivos(const std::filesystem::path& programa,
                       const std::vector<std::string>& argumentos,
                       const std::filesystem::path& pasta,
                       const std::vector<std::pair<std::string, std::string>>& ambiente,
                       const std::string& entrada, const std::string& saida,
                       const std::string& erros);

// The variables ("name=value") `atuais` with `ambiente` applied as Executa
// applies it, names compared as the system does.
std::vector<std::string> AplicaAmbiente(
    std::vector<std::string> atuais,
    const std::vector<std::pair<std::string, std::string>>& ambiente);

// Keeps a file open in a child process for the life of the object, so that
// the file is in use by another process (on Windows opened sharing only
// reading: no other process may write or delete it).
class ArquivoEmUso {
 public:
  explicit ArquivoEmUso(const std::filesystem::path& arquivo);
  ~ArquivoEmUso();
  ArquivoEmUso(const ArquivoEmUso&) = delete;
  ArquivoEmUso& operator=(const ArquivoEmUso&) = delete;

 private:
#ifdef _WIN32
  void* processo_ = nullptr;  // the holder's process and the write end of its input
  void* libera_ = nullptr;
#else
  int filho_ = -1;
  int liberaFd_ = -1;
#endif
};

// Whether `condicao` comes to hold within ten seconds, for what programs
// started without waiting do after the code under test ends.
bool Aguarda(const std::function<bool()>& condicao);

// The folder where the build puts the programs.
std::filesystem::path PastaBinarios();

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SUPPORT_PROCESSO_H_
