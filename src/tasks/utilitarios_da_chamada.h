#ifndef TARVIK_TASKS_UTILITARIOS_DA_CHAMADA_H_
#define TARVIK_TASKS_UTILITARIOS_DA_CHAMADA_H_

#include <memory>

#include "platform/utilitarios.h"

namespace tarvik {

// The utility component of one task operation: created through the factory
// at its first use and released when the operation ends, so that no state
// is shared between operations. Creation failures raise to the first user.
class UtilitariosDaChamada {
 public:
  Utilitarios* operator->() {
    if (!instancia_) instancia_ = CriaUtilitarios();
    return instancia_.get();
  }

 private:
  std::unique_ptr<Utilitarios> instancia_;
};

}  // namespace tarvik

#endif  // TARVIK_TASKS_UTILITARIOS_DA_CHAMADA_H_
