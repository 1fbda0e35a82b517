#ifndef TARVIK_TESTS_SUPPORT_INSTALACAO_TESTE_H_
#define TARVIK_TESTS_SUPPORT_INSTALACAO_TESTE_H_

#include <filesystem>
#include <string>
#include <vector>

#include "base/data_hora.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "support/pasta_temporaria.h"

namespace tarvik::teste {

// An installation folder taken as the program's folder, with a fixed clock,
// for tests of the code that runs inside the updater.
class InstalacaoTeste {
 public:
  explicit InstalacaoTeste(DataHora agora);

  const PastaTemporaria& Pasta() const { return pasta_; }
  platform::ScopedTestClock& Relogio() { return relogio_; }

  // The lines of registro.log without their CR LF; the log is decoded from
  // the ANSI code page.
  std::vector<std::string> LinhasRegistro() const;

  // The log as one text to compare whole: every line preceded by a line
  // break, without the prefix that the clock's moment gives it (a line
  // without that prefix keeps it, and so shows), with a '|' after a line
  // that ends in a blank, so that the blank shows, and with the
  // installation folder written "@". A raw string literal that opens and
  // closes on lines of its own holds the expected text.
  std::string TextoRegistro() const;

 private:
  PastaTemporaria pasta_;
  platform::ScopedTestProgramFolder programa_;
  platform::ScopedTestClock relogio_;
};

// `esperado`, a log or listing as the tests write it, with the separators
// of the installation's paths (those that start with "@") in the system's
// form: on Windows every '/' there is '\\', as the system writes paths.
std::string Nativo(std::string esperado);

// `texto` with every `de` replaced by `por`.
std::string Substitui(std::string texto, const std::string& de, const std::string& por);

// The lines of a log file without their CR LF, decoded from the ANSI code
// page; a last line without CR LF is marked "<sem CR LF>".
std::vector<std::string> LinhasDoRegistro(const std::filesystem::path& arquivo);

// Sets a file's modification time to a local date and time.
void DefineDataModificacao(const std::string& caminho, const DataHora& quando);

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SUPPORT_INSTALACAO_TESTE_H_
