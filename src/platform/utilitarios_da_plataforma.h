#ifndef TARVIK_PLATFORM_UTILITARIOS_DA_PLATAFORMA_H_
#define TARVIK_PLATFORM_UTILITARIOS_DA_PLATAFORMA_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/utilitarios.h"

namespace tarvik {

namespace platform {

// The limits of the component's HTTP requests. A transfer that breaks one of
// the time limits fails as a stalled one, with the transport's timeout error.
struct HttpOptions {
  long connectTimeoutSeconds = 30;
  // A transfer that moves fewer than `minBytesPerSecond` on average over
  // this many seconds, silence included, is abandoned: a server that
  // trickles holds the application back as long as one that says nothing.
  long slowWindowSeconds = 60;
  long minBytesPerSecond = 1024;
  // The whole of a request answered in memory (the check, the report), from
  // connecting to the last byte; a download's time grows with its file.
  long memoryDeadlineSeconds = 120;
  // Largest body kept in memory; a descriptor is a few megabytes at most.
  int64_t maxBodyBytes = int64_t{64} << 20;
};

// The client-environment header line, "name: value", in the ANSI code page;
// a line break in `texto` would end the header and start another, so it
// becomes a blank.
std::string ClientHeaderLine(const std::string& texto);

}  // namespace platform

// The production utility component of the running platform with the given
// HTTP limits (tests shorten them); each platform folder defines it.
// Everyone else calls `CriaUtilitarios`.
std::unique_ptr<Utilitarios> CriaUtilitariosDaPlataforma(const platform::HttpOptions& limites);

}  // namespace tarvik

#endif  // TARVIK_PLATFORM_UTILITARIOS_DA_PLATAFORMA_H_
