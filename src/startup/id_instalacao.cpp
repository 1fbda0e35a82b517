#include "startup/id_instalacao.h"

#include <cstdio>

namespace tarvik {

std::string FormataIdInstalacao(const platform::Guid& guid) {
  char texto[33];
  std::snprintf(texto, sizeof texto, "%08X%04X%04X%02X%02X%02X%02X%02X%02X%02X%02X", guid.data1,
                guid.data2, guid.data3, guid.data4[0], guid.data4[1], guid.data4[2], guid.data4[3],
                guid.data4[4], guid.data4[5], guid.data4[6], guid.data4[7]);
  return texto;
}

std::string GeraIdInstalacao() {
  platform::Guid guid;
  return platform::CreateGuid(guid) ? FormataIdInstalacao(guid) : std::string();
}

}  // namespace tarvik
