#ifndef TARVIK_TESTS_E2E_INSTALACAO_E2E_H_
#define TARVIK_TESTS_E2E_INSTALACAO_E2E_H_

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "base/cp1252.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"

namespace tarvik::teste {

// Whether `condicao` comes to hold within ten seconds, for what the
// programs under test do after they end.
inline bool Aguarda(const std::function<bool()>& condicao) {
  for (int i = 0; i < 1000 && !condicao(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condicao();
}

// A temporary installation with copies of the built Tarvik.exe and batch
// runner, a stand-in main application that records each start, and its own
// Windows directory. Its folder name has blanks and accents, as real ones do.
class InstalacaoE2E {
 public:
  InstalacaoE2E() {
    std::filesystem::create_directories(pasta_ / "dados");
    std::filesystem::create_directories(windir_);
    for (const char* programa : {"Tarvik.exe", "executa-lote"}) {
      std::filesystem::copy_file(PastaBinarios() / programa, pasta_ / programa);
    }
    EscreveArquivo(pasta_ / "pelirana.exe",
                   "#!/bin/sh\necho \"iniciado $*\" >> \"$(dirname \"$0\")/aplicativo.txt\"\n");
    std::filesystem::permissions(pasta_ / "pelirana.exe", std::filesystem::perms::owner_all);
  }

  const std::filesystem::path& Pasta() const { return pasta_; }
  std::filesystem::path Em(const std::string& relativo) const { return pasta_ / relativo; }

  // Writes atualizador.ini in the Windows directory.
  void Configuracao(const std::string& conteudo) const {
    EscreveArquivo(windir_ / "atualizador.ini", conteudo);
  }
  // Configuration mode against `url`, application version 2.30.
  void ConfiguracaoServidor(const std::string& url) const {
    Configuracao("[Configuracao]\r\nversao=2.30\r\nid_instalador=ID-E2E\r\nurl=" + url +
                 "\r\nconta=0123-4\r\ncnpj=11222333000181\r\n");
  }

  // Runs Tarvik.exe with `argumentos` and `ambiente` added to the
  // environment, and waits for it to end.
  ResultadoProcesso Executa(const std::vector<std::string>& argumentos = {},
                            std::vector<std::pair<std::string, std::string>> ambiente = {}) const {
    ambiente.insert(ambiente.end(),
                    {{"WINDIR", windir_.string()}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    return teste::Executa(pasta_ / "Tarvik.exe", argumentos, pasta_, ambiente);
  }

  // The log's lines with the date-time field replaced by "<data>".
  std::vector<std::string> LinhasRegistro() const {
    static const std::regex kDataHora(R"(^\d\d/\d\d/\d{4}( \d\d:\d\d:\d\d)? - )");
    const std::string texto = DeCp1252(LeArquivo(pasta_ / "registro.log"));
    std::vector<std::string> linhas;
    for (size_t inicio = 0, fim; (fim = texto.find("\r\n", inicio)) != std::string::npos;
         inicio = fim + 2) {
      linhas.push_back(
          std::regex_replace(texto.substr(inicio, fim - inicio), kDataHora, "<data> - "));
    }
    return linhas;
  }

  // Whether the stand-in application comes to record `vezes` starts, and
  // no more.
  bool AplicativoIniciado(int vezes = 1) const {
    const auto inicios = [this] {
      const std::string registro = LeArquivo(pasta_ / "aplicativo.txt");
      return static_cast<int>(std::count(registro.begin(), registro.end(), '\n'));
    };
    return Aguarda([&] { return inicios() >= vezes; }) && inicios() == vezes;
  }

 private:
  PastaTemporaria raiz_;
  std::filesystem::path pasta_ = raiz_.Caminho() / "Instalação TARVIK";
  std::filesystem::path windir_ = raiz_.Caminho() / "windows";
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_E2E_INSTALACAO_E2E_H_
