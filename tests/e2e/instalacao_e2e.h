#ifndef TARVIK_TESTS_E2E_INSTALACAO_E2E_H_
#define TARVIK_TESTS_E2E_INSTALACAO_E2E_H_

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "support/aviso_teste.h"
#include "support/instalacao_teste.h"
#include "support/pasta_temporaria.h"
#include "support/pasta_windows.h"
#include "support/plataforma_teste.h"
#include "support/processo.h"

namespace tarvik::teste {

// A message box of the updater as the tests see it (AvisosCapturados).
inline std::string Caixa(const std::string& titulo, const std::string& severidade,
                         const std::string& texto) {
  return titulo + " - " + severidade + "\n" + texto + "\n";
}

// The report of an error that ends the updater: on Windows a message box.
inline std::string RelatoFatal(const std::string& texto) {
#ifdef _WIN32
  return Caixa("Tarvik.exe", "Erro", texto);
#else
  return "Tarvik.exe: " + texto + "\n";
#endif
}

// A path as UTF-8 text, as the updater writes it (a path's narrow text is
// in the ANSI code page on Windows).
inline std::string Utf8(const std::filesystem::path& caminho) {
  const std::u8string texto = caminho.u8string();
  return {texto.begin(), texto.end()};
}

// How a run of the updater ended: `caixas` has the message boxes, one after
// the other, and on Windows whatever went to standard error.
struct ExecucaoE2E : ResultadoProcesso {
  std::string caixas;
};

// A temporary installation with copies of the built Tarvik.exe and of what
// runs the restart batch beside it (atualiza.dll on Windows, the batch
// runner elsewhere), a stand-in main application that records each start
// in "executou",
// and atualizador.ini in the Windows directory of PastaWindowsTeste.
// Its folder name has blanks and accents, as real ones do.
class InstalacaoE2E {
 public:
  InstalacaoE2E() : pasta_(raiz_.Caminho() / u8"Instalação TARVIK") {
    std::filesystem::create_directories(pasta_ / "dados");
#ifdef _WIN32
    const char* const lote = "atualiza.dll";
#else
    const char* const lote = "executa-lote";
#endif
    for (const char* programa : {"Tarvik.exe", lote}) {
      std::filesystem::copy_file(PastaBinarios() / programa, pasta_ / programa);
    }
    std::filesystem::copy_file(PastaBinarios() / ("registra_argumentos" + kExtensaoPrograma),
                               pasta_ / "pelirana.exe");
  }
  InstalacaoE2E(const InstalacaoE2E&) = delete;
  InstalacaoE2E& operator=(const InstalacaoE2E&) = delete;

  const std::filesystem::path& Pasta() const { return pasta_; }
  std::filesystem::path Em(const std::string& relativo) const { return pasta_ / relativo; }

  // Writes atualizador.ini in the Windows directory.
  void Configuracao(const std::string& conteudo) { windir_.Escreve("atualizador.ini", conteudo); }
  // Configuration mode against `url`, application version 2.30.
  void ConfiguracaoServidor(const std::string& url) {
    Configuracao("[Configuracao]\r\nversao=2.30\r\nid_instalador=ID-E2E\r\nurl=" + url +
                 "\r\nconta=0123-4\r\ncnpj=11222333000181\r\n");
  }

  // Runs Tarvik.exe with `argumentos` and `ambiente` added to the
  // environment, and waits for it to end.
  ExecucaoE2E Executa(const std::vector<std::string>& argumentos = {},
                      std::vector<std::pair<std::string, std::string>> ambiente = {}) const {
#ifdef _WIN32
    AvisosCapturados avisos(pasta_ / "Tarvik.exe");
#endif
    // Without a display the notices go to standard error.
    ambiente.insert(ambiente.end(), {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    ExecucaoE2E execucao{teste::Executa(pasta_ / "Tarvik.exe", argumentos, pasta_, ambiente), {}};
#ifdef _WIN32
    execucao.caixas = avisos.Texto();
#endif
    execucao.caixas += execucao.erros;
    return execucao;
  }

  // The log's lines with the date-time field replaced by "<data>".
  std::vector<std::string> LinhasRegistro() const {
    static const std::regex kDataHora(R"(^\d\d/\d\d/\d{4}( \d\d:\d\d:\d\d)? - )");
    std::vector<std::string> linhas = LinhasDoRegistro(pasta_ / "registro.log");
    for (auto& linha : linhas) linha = std::regex_replace(linha, kDataHora, "<data> - ");
    return linhas;
  }

  // Whether the stand-in application comes to record `vezes` starts, and
  // no more.
  bool AplicativoIniciado(int vezes = 1) const {
    const auto inicios = [this] {
      return static_cast<int>(std::ranges::count(LeArquivo(pasta_ / "executou"), '\n'));
    };
    return Aguarda([&] { return inicios() >= vezes; }) && inicios() == vezes;
  }

 private:
  PastaTemporaria raiz_;
  std::filesystem::path pasta_;
  PastaWindowsTeste windir_;
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_E2E_INSTALACAO_E2E_H_
