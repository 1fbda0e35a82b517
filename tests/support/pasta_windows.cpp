#include "support/pasta_windows.h"

#include <cstdlib>
#include <system_error>

#include "platform/profile.h"

namespace tarvik::teste {

#ifdef _WIN32
PastaWindowsTeste::PastaWindowsTeste() : pasta_(platform::WindowsDirectory()) {}
#else
PastaWindowsTeste::PastaWindowsTeste() : pasta_(temporaria_.Caminho()) {
  if (const char* windir = std::getenv("WINDIR")) windirAnterior_ = windir;
  ::setenv("WINDIR", temporaria_.Texto().c_str(), 1);
}
#endif

PastaWindowsTeste::~PastaWindowsTeste() {
  std::error_code ignorado;
  for (const auto& arquivo : escritos_) std::filesystem::remove(arquivo, ignorado);
#ifndef _WIN32
  windirAnterior_ ? ::setenv("WINDIR", windirAnterior_->c_str(), 1) : ::unsetenv("WINDIR");
#endif
}

void PastaWindowsTeste::Escreve(const std::string& nome, const std::string& conteudo) {
  escritos_.push_back(pasta_ / nome);
  EscreveArquivo(escritos_.back(), conteudo);
}

}  // namespace tarvik::teste
