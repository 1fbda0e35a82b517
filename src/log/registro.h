#ifndef TARVIK_LOG_REGISTRO_H_
#define TARVIK_LOG_REGISTRO_H_

#include <optional>
#include <string>

#include "base/erro.h"

namespace tarvik {

// Categories of the update log.
inline constexpr char kInfo[] = "INFO";
inline constexpr char kAviso[] = "AVISO";
inline constexpr char kErro[] = "ERRO";

// Full name of the update log: the program's folder + "\registro.log".
std::string CaminhoRegistro();

// Appends one line to the update log: local date-time, " - ", category,
// " - ", message, CR LF, in the ANSI code page. The file is opened and closed
// for every line, so each line is on disk when the call returns, and it is
// all there or not at all (a full disk leaves no half line). Failures
// (folder not writable, the log is a folder or a link) raise `Erro` to the
// caller.
void RegistraLog(const std::string& linha, const std::string& categoria);

// While one is alive, a log line that cannot be written is skipped instead
// of raising: an undo must put the files back even when the disk that holds
// the log is full. The first failure is kept; `Conclui` raises it.
class RegistroTolerante {
 public:
  RegistroTolerante();
  ~RegistroTolerante();
  RegistroTolerante(const RegistroTolerante&) = delete;
  RegistroTolerante& operator=(const RegistroTolerante&) = delete;

  // Raises the first failure of a write, if there was one.
  void Conclui();

 private:
  friend void RegistraLog(const std::string& linha, const std::string& categoria);

  RegistroTolerante* anterior_;
  std::optional<Erro> falha_;
};

// Starts a new log once a week: on a Monday, a log last written on another
// date is deleted. Never fails; a step that fails is skipped.
void RenovaRegistro();

}  // namespace tarvik

#endif  // TARVIK_LOG_REGISTRO_H_
