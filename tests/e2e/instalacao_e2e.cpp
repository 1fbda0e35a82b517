#include "e2e/instalacao_e2e.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <regex>
#include <thread>

#include "base/cp1252.h"

namespace tarvik::teste {

namespace fs = std::filesystem;

bool Aguarda(const std::function<bool()>& condicao) {
  for (int i = 0; i < 1000; ++i) {
    if (condicao()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

InstalacaoE2E::InstalacaoE2E()
    : pasta_(raiz_.Caminho() / "Instalação TARVIK"), windir_(raiz_.Caminho() / "windows") {
  fs::create_directories(pasta_ / "dados");
  fs::create_directories(windir_);
  fs::copy_file(PastaBinarios() / "Tarvik.exe", pasta_ / "Tarvik.exe");
  fs::copy_file(PastaBinarios() / "executa-lote", pasta_ / "executa-lote");
  EscreveArquivo(pasta_ / "pelirana.exe",
                 "#!/bin/sh\necho \"iniciado $*\" >> \"$(dirname \"$0\")/aplicativo.txt\"\n");
  fs::permissions(pasta_ / "pelirana.exe", fs::perms::owner_all);
}

void InstalacaoE2E::Configuracao(const std::string& conteudo) const {
  EscreveArquivo(windir_ / "atualizador.ini", conteudo);
}

void InstalacaoE2E::ConfiguracaoServidor(const std::string& url) const {
  Configuracao("[Configuracao]\r\nversao=2.30\r\nid_instalador=ID-E2E\r\nurl=" + url +
               "\r\nconta=0123-4\r\ncnpj=11222333000181\r\n");
}

ResultadoProcesso InstalacaoE2E::Executa(
    const std::vector<std::string>& argumentos,
    const std::vector<std::pair<std::string, std::string>>& ambiente) const {
  std::vector<std::pair<std::string, std::string>> variaveis = {
      {"WINDIR", windir_.string()}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}};
  variaveis.insert(variaveis.end(), ambiente.begin(), ambiente.end());
  return teste::Executa(pasta_ / "Tarvik.exe", argumentos, pasta_, variaveis);
}

std::vector<std::string> InstalacaoE2E::LinhasRegistro() const {
  static const std::regex kDataHora(R"(^\d\d/\d\d/\d{4}( \d\d:\d\d:\d\d)? - )");
  const std::string texto = DeCp1252(LeArquivo(pasta_ / "registro.log"));
  std::vector<std::string> linhas;
  size_t inicio = 0;
  for (size_t fim; (fim = texto.find("\r\n", inicio)) != std::string::npos; inicio = fim + 2) {
    linhas.push_back(
        std::regex_replace(texto.substr(inicio, fim - inicio), kDataHora, "<data> - "));
  }
  return linhas;
}

bool InstalacaoE2E::AplicativoIniciado(int vezes) const {
  const auto inicios = [this] {
    const std::string registro = LeArquivo(pasta_ / "aplicativo.txt");
    return static_cast<int>(std::count(registro.begin(), registro.end(), '\n'));
  };
  return Aguarda([&] { return inicios() >= vezes; }) && inicios() == vezes;
}

bool InstalacaoE2E::AguardaLinha(const std::string& linha, int vezes) const {
  return Aguarda([&] {
    const auto linhas = LinhasRegistro();
    return std::count(linhas.begin(), linhas.end(), linha) >= vezes;
  });
}

}  // namespace tarvik::teste
