#ifndef TARVIK_TOOLS_EXECUTA_LOTE_AGUARDA_PROCESSO_H_
#define TARVIK_TOOLS_EXECUTA_LOTE_AGUARDA_PROCESSO_H_

#include <cstdint>

namespace tarvik::lote {

// Returns once the process `processo` has ended; at once when there is no
// such process. The process need not be a child of this one.
void AguardaFimProcesso(uint32_t processo);

}  // namespace tarvik::lote

#endif  // TARVIK_TOOLS_EXECUTA_LOTE_AGUARDA_PROCESSO_H_
