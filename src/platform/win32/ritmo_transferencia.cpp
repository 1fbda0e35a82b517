#include "platform/win32/ritmo_transferencia.h"

#include <algorithm>

namespace tarvik::platform {

using std::chrono::duration_cast;
using std::chrono::milliseconds;
using std::chrono::seconds;

RitmoTransferencia::RitmoTransferencia(const HttpOptions& opcoes, bool comPrazo)
    : janela_(seconds(opcoes.slowWindowSeconds)),
      minimoPorSegundo_(opcoes.minBytesPerSecond),
      inicioJanela_(Relogio::now()) {
  if (comPrazo) prazo_ = inicioJanela_ + seconds(opcoes.memoryDeadlineSeconds);
}

void RitmoTransferencia::IniciaJanela() {
  inicioJanela_ = Relogio::now();
  bytesNaJanela_ = 0;
}

bool RitmoTransferencia::Recebeu(uint64_t bytes) {
  const Relogio::time_point agora = Relogio::now();
  if (prazo_ && agora >= *prazo_) return false;
  bytesNaJanela_ += bytes;
  const int64_t passados = duration_cast<milliseconds>(agora - inicioJanela_).count();
  if (passados < janela_.count()) return true;
  // bytes / (ms / 1000) < minimum, without the division.
  if (bytesNaJanela_ * 1000 < static_cast<uint64_t>(minimoPorSegundo_) * passados) return false;
  IniciaJanela();
  return true;
}

uint32_t RitmoTransferencia::EsperaMaxima() const {
  int64_t espera = janela_.count();
  if (prazo_) {
    espera =
        std::min<int64_t>(espera, duration_cast<milliseconds>(*prazo_ - Relogio::now()).count());
  }
  return static_cast<uint32_t>(std::max<int64_t>(espera, 1));
}

}  // namespace tarvik::platform
