#ifndef TARVIK_TESTS_E2E_INSTALACAO_E2E_H_
#define TARVIK_TESTS_E2E_INSTALACAO_E2E_H_

#include <filesystem>
#include <string>
#include <vector>

#include "support/pasta_temporaria.h"
#include "support/processo.h"

namespace tarvik::teste {

// A temporary installation with a copy of the built Tarvik.exe, a stand-in
// main application that records each start, and its own Windows directory.
// Its folder name has blanks and accents, as real ones do.
class InstalacaoE2E {
 public:
  InstalacaoE2E();

  const std::filesystem::path& Pasta() const { return pasta_; }
  std::filesystem::path Em(const std::string& relativo) const { return pasta_ / relativo; }

  // Writes atualizador.ini in the Windows directory.
  void Configuracao(const std::string& conteudo) const;

  // Runs Tarvik.exe with `argumentos` and waits for it to end.
  ResultadoProcesso Executa(const std::vector<std::string>& argumentos = {}) const;

  // The log's lines with the date-time field replaced by "<data>".
  std::vector<std::string> LinhasRegistro() const;

  // Waits a few seconds for the stand-in application to record its start.
  bool AplicativoIniciado() const;

 private:
  PastaTemporaria raiz_;
  std::filesystem::path pasta_;
  std::filesystem::path windir_;
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_E2E_INSTALACAO_E2E_H_
