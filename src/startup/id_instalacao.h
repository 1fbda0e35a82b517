#ifndef TARVIK_STARTUP_ID_INSTALACAO_H_
#define TARVIK_STARTUP_ID_INSTALACAO_H_

#include <string>

#include "platform/guid.h"

namespace tarvik {

// The installation id of a GUID: its parts as capital hexadecimal digits,
// zero-padded to full width, without braces or hyphens (32 characters).
std::string FormataIdInstalacao(const platform::Guid& guid);

// A new installation id from a new GUID; empty text when none could be made.
std::string GeraIdInstalacao();

}  // namespace tarvik

#endif  // TARVIK_STARTUP_ID_INSTALACAO_H_
