#ifndef TARVIK_PLATFORM_UTILITARIOS_DA_PLATAFORMA_H_
#define TARVIK_PLATFORM_UTILITARIOS_DA_PLATAFORMA_H_

#include <memory>

#include "platform/utilitarios.h"

namespace tarvik {

// The production utility component of the running platform; each platform
// folder defines it. Everyone else calls `CriaUtilitarios`.
std::unique_ptr<Utilitarios> CriaUtilitariosDaPlataforma();

}  // namespace tarvik

#endif  // TARVIK_PLATFORM_UTILITARIOS_DA_PLATAFORMA_H_
