#include "support/pasta_temporaria.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

namespace tarvik::teste {

PastaTemporaria::PastaTemporaria() {
#ifdef _WIN32
  // No mkdtemp: a random name, taken only when the folder did not exist.
  std::random_device aleatorio;
  while (!std::filesystem::create_directory(caminho_ = std::filesystem::temp_directory_path() /
                                                       ("tarvik-" + std::to_string(aleatorio())))) {
  }
#else
  std::string modelo = (std::filesystem::temp_directory_path() / "tarvik-XXXXXX").string();
  if (mkdtemp(modelo.data()) == nullptr) throw std::runtime_error("mkdtemp falhou");
  caminho_ = modelo;
#endif
}

PastaTemporaria::~PastaTemporaria() {
  std::error_code ignorado;
  // Tests may leave read-only files behind; give the owner write access back.
  for (auto& entrada : std::filesystem::recursive_directory_iterator(caminho_, ignorado)) {
    std::filesystem::permissions(entrada.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignorado);
  }
  std::filesystem::remove_all(caminho_, ignorado);
}

void EscreveArquivo(const std::filesystem::path& caminho, std::string_view conteudo) {
  if (caminho.has_parent_path()) std::filesystem::create_directories(caminho.parent_path());
  std::ofstream saida(caminho, std::ios::binary | std::ios::trunc);
  saida.write(conteudo.data(), static_cast<std::streamsize>(conteudo.size()));
  if (!saida) throw std::runtime_error("não foi possível escrever " + caminho.string());
}

std::string LeArquivo(const std::filesystem::path& caminho) {
  std::ifstream entrada(caminho, std::ios::binary);
  return {std::istreambuf_iterator<char>(entrada), std::istreambuf_iterator<char>()};
}

}  // namespace tarvik::teste
