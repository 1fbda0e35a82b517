#ifndef TARVIK_TESTS_E2E_INSTALACAO_E2E_H_
#define TARVIK_TESTS_E2E_INSTALACAO_E2E_H_

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/pasta_temporaria.h"
#include "support/processo.h"

namespace tarvik::teste {

// Whether `condicao` comes to hold within ten seconds, for what the
// programs under test do after they end.
bool Aguarda(const std::function<bool()>& condicao);

// A temporary installation with copies of the built Tarvik.exe and batch
// runner, a stand-in main application that records each start, and its own
// Windows directory. Its folder name has blanks and accents, as real ones do.
class InstalacaoE2E {
 public:
  InstalacaoE2E();

  const std::filesystem::path& Pasta() const { return pasta_; }
  std::filesystem::path Em(const std::string& relativo) const { return pasta_ / relativo; }

  // Writes atualizador.ini in the Windows directory.
  void Configuracao(const std::string& conteudo) const;
  // Configuration mode against `url`, application version 2.30.
  void ConfiguracaoServidor(const std::string& url) const;

  // Runs Tarvik.exe with `argumentos` and `ambiente` added to the
  // environment, and waits for it to end.
  ResultadoProcesso Executa(
      const std::vector<std::string>& argumentos = {},
      const std::vector<std::pair<std::string, std::string>>& ambiente = {}) const;

  // The log's lines with the date-time field replaced by "<data>".
  std::vector<std::string> LinhasRegistro() const;

  // Whether the stand-in application comes to record `vezes` starts, and
  // no more.
  bool AplicativoIniciado(int vezes = 1) const;
  // Whether the log comes to hold `linha` `vezes` times.
  bool AguardaLinha(const std::string& linha, int vezes) const;

 private:
  PastaTemporaria raiz_;
  std::filesystem::path pasta_;
  std::filesystem::path windir_;
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_E2E_INSTALACAO_E2E_H_
