#include "e2e/instalacao_e2e.h"

#include <regex>

#include "base/cp1252.h"

namespace tarvik::teste {

namespace fs = std::filesystem;

InstalacaoE2E::InstalacaoE2E()
    : pasta_(raiz_.Caminho() / "Instalação TARVIK"), windir_(raiz_.Caminho() / "windows") {
  fs::create_directories(pasta_ / "dados");
  fs::create_directories(windir_);
  fs::copy_file(PastaBinarios() / "Tarvik.exe", pasta_ / "Tarvik.exe");
  EscreveArquivo(pasta_ / "pelirana.exe",
                 "#!/bin/sh\necho \"iniciado $*\" >> \"$(dirname \"$0\")/aplicativo.txt\"\n");
  fs::permissions(pasta_ / "pelirana.exe", fs::perms::owner_all);
}

void InstalacaoE2E::Configuracao(const std::string& conteudo) const {
  EscreveArquivo(windir_ / "atualizador.ini", conteudo);
}

ResultadoProcesso InstalacaoE2E::Executa(const std::vector<std::string>& argumentos) const {
  return teste::Executa(pasta_ / "Tarvik.exe", argumentos, pasta_,
                        {{"WINDIR", windir_.string()}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
}

std::vector<std::string> InstalacaoE2E::LinhasRegistro() const {
  static const std::regex kDataHora(R"(^\d\d/\d\d/\d{4}( \d\d:\d\d:\d\d)? - )");
  const std::string texto = DeCp1252(LeArquivo(pasta_ / "registro.log"));
  std::vector<std::string> linhas;
  size_t inicio = 0;
  for (size_t fim; (fim = texto.find("\r\n", inicio)) != std::string::npos; inicio = fim + 2) {
    linhas.push_back(std::regex_replace(texto.substr(inicio, fim - inicio), kDataHora, "<data> - "));
  }
  return linhas;
}

bool InstalacaoE2E::AplicativoIniciado() const {
  return AguardaArquivo(pasta_ / "aplicativo.txt");
}

}  // namespace tarvik::teste
