#ifndef TARVIK_TASKS_TEXTOS_TAREFA_H_
#define TARVIK_TASKS_TEXTOS_TAREFA_H_

#include <string>

namespace tarvik {

// The log line of a task that expected `arquivo` on disk.
inline std::string ArquivoDeveriaExistir(const std::string& arquivo) {
  return "Arquivo deveria existir [" + arquivo + "]";
}

// The log line, category ERRO, of a folder that is a link (or junction)
// where the update would create or use one of its own: what it leads to is
// not the installation's, and the task fails.
inline std::string PastaELink(const std::string& pasta) {
  return "Pasta é um link para outro lugar e não será usada: [" + pasta + "]";
}

}  // namespace tarvik

#endif  // TARVIK_TASKS_TEXTOS_TAREFA_H_
