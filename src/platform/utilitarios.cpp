#include "platform/utilitarios.h"

#include <utility>

#include "platform/utilitarios_da_plataforma.h"

namespace tarvik {

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
