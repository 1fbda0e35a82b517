#ifndef TARVIK_TASKS_TEXTOS_TAREFA_H_
#define TARVIK_TASKS_TEXTOS_TAREFA_H_

#include <string>

namespace tarvik {

// The log line of a task that expected `arquivo` on disk.
inline std::string ArquivoDeveriaExistir(const std::string& arquivo) {
  return "Arquivo deveria existir [" + arquivo + "]";
}

}  // namespace tarvik

#endif  // TARVIK_TASKS_TEXTOS_TAREFA_H_
