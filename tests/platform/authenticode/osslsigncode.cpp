#include "osslsigncode.h"

#include <stdexcept>

#include "support/processo.h"

namespace tarvik::teste {
namespace {

ResultadoProcesso Osslsigncode(const std::vector<std::string>& arguments,
                               const std::filesystem::path& image) {
  return Executa("/usr/bin/osslsigncode", arguments, image.parent_path());
}

}  // namespace

void SignImage(const std::filesystem::path& in, const std::filesystem::path& out,
               const std::filesystem::path& certificates, const std::filesystem::path& key,
               const std::string& digest, const std::vector<std::string>& extra) {
  std::vector<std::string> arguments{"sign", "-certs", certificates.string(), "-key", key.string(),
                                     "-h",   digest};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  arguments.insert(arguments.end(), {"-in", in.string(), "-out", out.string()});
  const ResultadoProcesso result = Osslsigncode(arguments, in);
  if (result.status != 0) {
    throw std::runtime_error("osslsigncode sign " + in.string() + " failed: " + result.saida +
                             result.erros);
  }
}

bool OsslsigncodeAccepts(const std::filesystem::path& image, const std::filesystem::path& trusted) {
  return Osslsigncode({"verify", "-in", image.string(), "-CAfile", trusted.string(), "-TSA-CAfile",
                       trusted.string()},
                      image)
             .status == 0;
}

}  // namespace tarvik::teste
