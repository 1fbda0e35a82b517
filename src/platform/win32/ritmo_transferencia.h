#ifndef TARVIK_PLATFORM_WIN32_RITMO_TRANSFERENCIA_H_
#define TARVIK_PLATFORM_WIN32_RITMO_TRANSFERENCIA_H_

#include <chrono>
#include <cstdint>
#include <optional>

#include "platform/utilitarios_da_plataforma.h"

namespace tarvik::platform {

// The pace one transfer must keep, which WinHTTP's own timeouts cannot
// tell: at least `minBytesPerSecond` on average over each window of
// `slowWindowSeconds`, and, for a request with a deadline, an end within
// `memoryDeadlineSeconds` of its start (the object's creation).
class RitmoTransferencia {
 public:
  RitmoTransferencia(const HttpOptions& opcoes, bool comPrazo);

  // The body begins: the first window starts now.
  void IniciaJanela();

  // Counts `bytes` just received. False when a window has gone by with too
  // few bytes, or the deadline has passed.
  bool Recebeu(uint64_t bytes);

  // The longest wait for the next bytes, in milliseconds: a window, cut to
  // what is left before the deadline (at least 1, since WinHTTP reads 0 as
  // no limit).
  uint32_t EsperaMaxima() const;

 private:
  using Relogio = std::chrono::steady_clock;

  std::chrono::milliseconds janela_;
  int64_t minimoPorSegundo_;
  std::optional<Relogio::time_point> prazo_;
  Relogio::time_point inicioJanela_;
  uint64_t bytesNaJanela_ = 0;
};

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_WIN32_RITMO_TRANSFERENCIA_H_
