#include "base/data_hora.h"

#include <cstdio>
#include <cstdlib>

namespace tarvik {

int64_t DataHora::DiaCivil() const {
  // Days from civil, proleptic Gregorian calendar.
  const int64_t y = static_cast<int64_t>(ano) - (mes <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t ano_da_era = y - era * 400;
  const int64_t dia_do_ano = (153 * (mes + (mes > 2 ? -3 : 9)) + 2) / 5 + dia - 1;
  const int64_t dia_da_era = ano_da_era * 365 + ano_da_era / 4 - ano_da_era / 100 + dia_do_ano;
  return era * 146097 + dia_da_era - 719468;
}

int DataHora::DiaDaSemana() const {
  const int64_t d = DiaCivil();
  // 1970-01-01 was a Thursday.
  return static_cast<int>(((d + 4) % 7 + 7) % 7);
}

std::string FormataDataHoraGeral(const DataHora& m) {
  char texto[32];
  if (m.hora == 0 && m.minuto == 0 && m.segundo == 0) {
    std::snprintf(texto, sizeof texto, "%02d/%02d/%04d", m.dia, m.mes, m.ano);
  } else {
    std::snprintf(texto, sizeof texto, "%02d/%02d/%04d %02d:%02d:%02d", m.dia, m.mes, m.ano, m.hora,
                  m.minuto, m.segundo);
  }
  return texto;
}

int64_t DiasEntre(const DataHora& a, const DataHora& b) {
  return std::llabs(a.DiaCivil() - b.DiaCivil());
}

}  // namespace tarvik
