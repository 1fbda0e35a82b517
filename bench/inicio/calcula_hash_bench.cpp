// Usage: tarvik_hash_bench FILE
// Prints the file's hash, the seconds it took and the throughput in MiB/s.

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "base/erro.h"
#include "platform/utilitarios.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "uso: %s ARQUIVO\n", argv[0]);
    return 2;
  }
  try {
    const auto inicio = std::chrono::steady_clock::now();
    const std::string hash = tarvik::CriaUtilitarios()->CalculaHash(argv[1]);
    const std::chrono::duration<double> segundos = std::chrono::steady_clock::now() - inicio;
    const double mib = static_cast<double>(std::filesystem::file_size(argv[1])) / (1 << 20);
    std::printf("%s %.3f s %.0f MiB/s\n", hash.c_str(), segundos.count(), mib / segundos.count());
    return 0;
  } catch (const tarvik::Erro& erro) {
    std::fprintf(stderr, "%d: %s\n", erro.Numero(), erro.Descricao().c_str());
    return 1;
  }
}
