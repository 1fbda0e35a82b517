#ifndef TARVIK_BASE_DATA_HORA_H_
#define TARVIK_BASE_DATA_HORA_H_

#include <cstdint>
#include <string>

namespace tarvik {

// A local calendar date and time of day, to the second.
struct DataHora {
  int ano = 1970;
  int mes = 1;
  int dia = 1;
  int hora = 0;
  int minuto = 0;
  int segundo = 0;

  // Days since 1970-01-01 of the calendar date (time of day ignored).
  int64_t DiaCivil() const;
  // 0 Sunday, 1 Monday, ... 6 Saturday.
  int DiaDaSemana() const;
  bool MesmaData(const DataHora& outra) const {
    return ano == outra.ano && mes == outra.mes && dia == outra.dia;
  }
  bool operator==(const DataHora&) const = default;
};

// "dd/mm/yyyy hh:mm:ss"; at exactly midnight only the date, as the general
// date format leaves out a zero time.
std::string FormataDataHoraGeral(const DataHora& momento);

// Number of midnights between the calendar dates of `a` and `b`, as an
// absolute value.
int64_t DiasEntre(const DataHora& a, const DataHora& b);

}  // namespace tarvik

#endif  // TARVIK_BASE_DATA_HORA_H_
