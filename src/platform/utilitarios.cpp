#include "platform/utilitarios.h"

#include <utility>

namespace tarvik {

// The production instance of the running platform.
std::unique_ptr<Utilitarios> CriaUtilitariosDaPlataforma();

namespace {

FabricaUtilitarios& FabricaEmUso() {
  static FabricaUtilitarios fabrica = CriaUtilitariosDaPlataforma;
  return fabrica;
}

}  // namespace

std::unique_ptr<Utilitarios> CriaUtilitarios() { return FabricaEmUso()(); }

FabricaUtilitariosDeTeste::FabricaUtilitariosDeTeste(FabricaUtilitarios fabrica)
    : anterior_(std::exchange(FabricaEmUso(), std::move(fabrica))) {}

FabricaUtilitariosDeTeste::~FabricaUtilitariosDeTeste() { FabricaEmUso() = std::move(anterior_); }

}  // namespace tarvik
