#ifndef TARVIK_TESTS_SUPPORT_PASTA_TEMPORARIA_H_
#define TARVIK_TESTS_SUPPORT_PASTA_TEMPORARIA_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvik::teste {

// A fresh folder under the system's temporary folder, removed with all its
// content when the object goes.
class PastaTemporaria {
 public:
  PastaTemporaria();
  ~PastaTemporaria();
  PastaTemporaria(const PastaTemporaria&) = delete;
  PastaTemporaria& operator=(const PastaTemporaria&) = delete;

  const std::filesystem::path& Caminho() const { return caminho_; }
  // The folder as text, without a trailing separator.
  std::string Texto() const { return caminho_.string(); }
  // Full path of `relativo` inside the folder; on Windows its '/' become
  // '\', as the system writes paths.
  std::string Em(std::string_view relativo) const {
    return (caminho_ / relativo).make_preferred().string();
  }

 private:
  std::filesystem::path caminho_;
};

// Writes `conteudo` to `caminho`, creating its parent folders.
void EscreveArquivo(const std::filesystem::path& caminho, std::string_view conteudo);

// The whole content of a file; empty when it cannot be read.
std::string LeArquivo(const std::filesystem::path& caminho);

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SUPPORT_PASTA_TEMPORARIA_H_
