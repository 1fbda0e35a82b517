#ifndef TARVIK_TESTS_SUPPORT_PASTA_WINDOWS_H_
#define TARVIK_TESTS_SUPPORT_PASTA_WINDOWS_H_

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/pasta_temporaria.h"

namespace tarvik::teste {

// The Windows directory, where profile files named without a folder are
// read, for the life of the object. On POSIX a fresh folder that WINDIR
// names. On Windows the system's own folder, which the product always reads:
// the files written there are removed again, and the tests must run as a
// user who may write there (Wine's prefix belongs to its user; on Windows it
// takes an administrator).
class PastaWindowsTeste {
 public:
  PastaWindowsTeste();
  ~PastaWindowsTeste();
  PastaWindowsTeste(const PastaWindowsTeste&) = delete;
  PastaWindowsTeste& operator=(const PastaWindowsTeste&) = delete;

  // Writes `conteudo` to the file `nome` of the folder.
  void Escreve(const std::string& nome, const std::string& conteudo);

 private:
#ifndef _WIN32
  PastaTemporaria temporaria_;
  std::optional<std::string> windirAnterior_;
#endif
  std::filesystem::path pasta_;
  std::vector<std::filesystem::path> escritos_;
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SUPPORT_PASTA_WINDOWS_H_
