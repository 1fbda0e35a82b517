#ifndef TARVIK_SERVER_LOTE_REINICIO_H_
#define TARVIK_SERVER_LOTE_REINICIO_H_

#include <string>

#include "tasks/item_em_uso.h"

namespace tarvik {

// Writes pastaBase + "\atualiza.bat" (replacing one left over), with the
// current process id: wait for this process to end, copy or delete each
// file of `itens` in order, start the updater again with `versaoAtual` on
// its command line, delete the batch. One command per line, CR LF, in the
// ANSI code page. Failures to delete or write raise `Erro`.
void EscreveLoteReinicio(const std::string& pastaBase, const std::string& versaoAtual,
                         const ListaItensEmUso& itens);

}  // namespace tarvik

#endif  // TARVIK_SERVER_LOTE_REINICIO_H_
