#ifndef TARVIK_TESTS_E2E_INSTALACAO_E2E_H_
#define TARVIK_TESTS_E2E_INSTALACAO_E2E_H_

#include <filesystem>
#include <string>
#include <vector>

#include "support/pasta_temporaria.h"
#include "support/processo.h"

namespace tarvik::teste {

// A temporary installation with copies of the built Tarvik.exe and batch
// runner, a stand-in main application that records each start, and its own
// Windows directory.
// Its folder name has blanks and accents, as real ones do.
class InstalacaoE2E {
 public:
  InstalacaoE2E();

  const std::filesystem::path& Pasta() const { return pasta_; }
  std::filesystem::path Em(const std::string& relativo) const { return pasta_ / relativo; }

  // Writes atualizador.ini in the Windows directory.
  void Configuracao(const std::string& conteudo) const;
  // Configuration mode against `url`, application version 2.30.
  void ConfiguracaoServidor(const std::string& url) const;

  // Runs Tarvik.exe with `argumentos` and waits for it to end. `ambiente`
  // adds variables.
  ResultadoProcesso Executa(const std::vector<std::string>& argumentos = {},
                            const std::vector<std::pair<std::string, std::string>>& ambiente = {}) const;

  // The log's lines with the date-time field replaced by "<data>".
  std::vector<std::string> LinhasRegistro() const;

  // Waits a few seconds for the stand-in application to record its start.
  bool AplicativoIniciado() const;
  // How many times the stand-in application was started.
  int InicioDoAplicativo() const;

  // Waits up to ten seconds for the log to hold `linha` `vezes` times.
  bool AguardaLinha(const std::string& linha, int vezes) const;

 private:
  PastaTemporaria raiz_;
  std::filesystem::path pasta_;
  std::filesystem::path windir_;
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_E2E_INSTALACAO_E2E_H_
