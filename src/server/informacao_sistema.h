#ifndef TARVIK_SERVER_INFORMACAO_SISTEMA_H_
#define TARVIK_SERVER_INFORMACAO_SISTEMA_H_

#include <string>

#include "platform/system_info.h"

namespace tarvik {

// The one-line fragment that describes the client's system and processor to
// the update server, built from `fonte` (the running system unless a test
// gives another). Systems of major version 5 or later add the extended
// record's service pack, suite and product type when it can be read. Never
// fails: when even the short version record cannot be read the fragment
// says the information is unavailable.
std::string InformacaoSistema(
    const platform::SystemInfoSource& fonte = platform::SystemInformation());

}  // namespace tarvik

#endif  // TARVIK_SERVER_INFORMACAO_SISTEMA_H_
