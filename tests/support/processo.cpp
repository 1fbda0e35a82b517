#include "support/processo.h"

#include <chrono>
#include <thread>

namespace tarvik::teste {

bool AguardaArquivo(const std::filesystem::path& arquivo) {
  for (int tentativa = 0; tentativa < 500; ++tentativa) {
    if (std::filesystem::exists(arquivo)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

std::filesystem::path PastaBinarios() { return TARVIK_BIN_DIR; }

}  // namespace tarvik::teste
