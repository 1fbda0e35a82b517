#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "support/processo.h"

extern char** environ;

namespace tarvik::teste {

int ExecutaComArquivos(const std::filesystem::path& programa,
                       const std::vector<std::string>& argumentos,
                       const std::filesystem::path& pasta,
                       const std::vector<std::pair<std::string, std::string>>& ambiente,
                       const std::string& entrada, const std::string& saida,
                       const std::string& erros) {
  std::vector<std::string> atuais;
  for (char** v = environ; *v; ++v) atuais.emplace_back(*v);
  std::vector<std::string> variaveis = AplicaAmbiente(atuais, ambiente);
  const std::string caminho = programa.string();
  std::vector<std::string> palavras = {caminho};
  palavras.insert(palavras.end(), argumentos.begin(), argumentos.end());
  // The null-terminated arrays that posix_spawn takes.
  const auto ponteiros = [](std::vector<std::string>& textos) {
    std::vector<char*> lista;
    for (auto& texto : textos) lista.push_back(texto.data());
    return lista.push_back(nullptr), lista;
  };
  std::vector<char*> argv = ponteiros(palavras), envp = ponteiros(variaveis);

  posix_spawn_file_actions_t acoes;
  posix_spawn_file_actions_init(&acoes);
  posix_spawn_file_actions_addopen(&acoes, 0, entrada.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&acoes, 1, saida.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&acoes, 2, erros.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&acoes, pasta.c_str());
  pid_t pid = 0;
  const int erro = ::posix_spawn(&pid, caminho.c_str(), &acoes, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&acoes);
  if (erro != 0) throw std::runtime_error("não foi possível executar " + caminho);

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ArquivoEmUso::ArquivoEmUso(const std::filesystem::path& arquivo) {
  // Opened before the fork, so that the child holds the file from its start.
  // Close-on-exec: a program started later must not keep the file or
  // `libera` open, or the file would stay held until that program ends.
  const int fd = ::open(arquivo.c_str(), O_RDONLY | O_CLOEXEC);
  int libera[2];
  if (fd < 0 || ::pipe2(libera, O_CLOEXEC) != 0) {
    throw std::runtime_error("não foi possível abrir " + arquivo.string());
  }
  filho_ = ::fork();
  if (filho_ == 0) {
    // The child holds the file until the parent closes its end of `libera`.
    ::close(libera[1]);
    char c;
    (void)!::read(libera[0], &c, 1);
    ::_exit(0);
  }
  ::close(fd);
  ::close(libera[0]);
  liberaFd_ = libera[1];
}

ArquivoEmUso::~ArquivoEmUso() {
  ::close(liberaFd_);
  int status = 0;
  ::waitpid(filho_, &status, 0);
}

}  // namespace tarvik::teste
