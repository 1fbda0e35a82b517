#ifndef TARVIK_SERVER_LOTE_REINICIO_H_
#define TARVIK_SERVER_LOTE_REINICIO_H_

#include <string>
#include <string_view>

#include "tasks/item_em_uso.h"

namespace tarvik {

// The words of the restart batch, which the POSIX batch runner reads back.
namespace texto_lote {
inline constexpr std::string_view kEspera = "rundll32 ";
inline constexpr std::string_view kBiblioteca = "\\atualiza.dll";
inline constexpr std::string_view kPontoEntrada = ",_fnAguarda@16 ";
inline constexpr std::string_view kCopia = "copy /y ";
inline constexpr std::string_view kRemove = "del /f ";
inline constexpr std::string_view kPrograma = "tarvik.exe";
inline constexpr std::string_view kInicia = "start tarvik.exe";
inline constexpr std::string_view kFimLinha = "\r\n";
}  // namespace texto_lote

// Writes pastaBase + "\atualiza.bat" (replacing one left over), with the
// current process id: wait for this process to end, copy or delete each
// file of `itens` in order, start the updater again with `versaoAtual` on
// its command line, delete the batch. One command per line, CR LF, in the
// batch code page (`platform::WriteBatch`). Failures to delete or write
// raise `Erro`.
void EscreveLoteReinicio(const std::string& pastaBase, const std::string& versaoAtual,
                         const ListaItensEmUso& itens);

}  // namespace tarvik

#endif  // TARVIK_SERVER_LOTE_REINICIO_H_
