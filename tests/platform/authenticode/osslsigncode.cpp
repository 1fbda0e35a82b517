#include "osslsigncode.h"

#include <stdexcept>

#include "command.h"

namespace tarvik::teste {

void SignImage(const std::filesystem::path& in, const std::filesystem::path& out,
               const std::filesystem::path& certificates, const std::filesystem::path& key,
               const std::string& digest, const std::vector<std::string>& extra) {
  std::vector<std::string> arguments{"osslsigncode", "sign",       "-certs", certificates.string(),
                                     "-key",         key.string(), "-h",     digest};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  arguments.insert(arguments.end(), {"-in", in.string(), "-out", out.string()});
  const CommandResult result = RunCommand(arguments);
  if (result.exit_code != 0) {
    throw std::runtime_error("osslsigncode sign " + in.string() + " failed: " + result.output);
  }
}

bool OsslsigncodeAccepts(const std::filesystem::path& image, const std::filesystem::path& trusted) {
  const CommandResult result =
      RunCommand({"osslsigncode", "verify", "-in", image.string(), "-CAfile", trusted.string(),
                  "-TSA-CAfile", trusted.string()});
  return result.exit_code == 0;
}

}  // namespace tarvik::teste
