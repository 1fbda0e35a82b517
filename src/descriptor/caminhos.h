#ifndef TARVIK_DESCRIPTOR_CAMINHOS_H_
#define TARVIK_DESCRIPTOR_CAMINHOS_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

// The installed path of an entry: `pastaDestino` with every "$base$"
// (exact case) replaced by `pastaBase`, followed directly by
// `arquivoDestino`. Nothing is inserted or trimmed: the destination carries
// its own trailing backslash. Never fails.
std::string ObtemNomeArquivoInstalado(const std::string& pastaBase, const std::string& pastaDestino,
                                      const std::string& arquivoDestino);

// The versioned name of a downloaded or backed-up file:
// `pastaTemporaria` + `arquivoDestino` + "-" + `versaoArquivo` + "-" +
// `indice`, e.g. temp\app.dll-4.1-3. Never fails.
std::string ObtemNomeArquivoTemporario(const std::string& pastaTemporaria,
                                       const std::string& arquivoDestino,
                                       const std::string& versaoArquivo, int32_t indice);

// Joins a folder and a relative path after removing the spaces around each,
// putting one backslash between them unless the folder ends or the path
// begins with one. Never removes a backslash: C:\app\ and \temp\ give
// C:\app\\temp\. Never fails.
std::string CombinaCaminho(std::string_view pasta, std::string_view caminho);

}  // namespace tarvik

#endif  // TARVIK_DESCRIPTOR_CAMINHOS_H_
