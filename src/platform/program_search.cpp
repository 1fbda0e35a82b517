#include "platform/program_search.h"

#include <vector>

#include "base/erro.h"
#include "base/texto.h"
#include "platform/files.h"
#include "platform/process.h"

namespace tarvik::platform {

std::string FindProgram(const std::string& name, std::string_view searchPath, char separator) {
  if (name.find_first_of("/\\:") != std::string::npos) return NativePath(name);
  std::vector<std::string> folders = {ProgramFolder(), "."};
  for (size_t start = 0; start <= searchPath.size();) {
    size_t end = searchPath.find(separator, start);
    if (end == std::string_view::npos) end = searchPath.size();
    if (end > start) folders.emplace_back(searchPath.substr(start, end - start));
    start = end + 1;
  }
  for (const auto& folder : folders) {
    const std::string candidate = NativePath(folder + "\\" + name);
    if (PathExists(candidate) && (GetAttributes(candidate) & kAttributeDirectory) == 0) {
      return candidate;
    }
  }
  throw ErroPadrao(codigo_erro::kArquivoNaoEncontrado, "StartProgram", name);
}

bool IsBatchFile(std::string_view name) {
  return name.size() >= 4 && IgualSemCaixa(name.substr(name.size() - 4), ".bat");
}

}  // namespace tarvik::platform
