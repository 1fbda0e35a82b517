#ifndef TARVIK_SCRIPT_DIARIO_ATUALIZACAO_H_
#define TARVIK_SCRIPT_DIARIO_ATUALIZACAO_H_

#include <memory>
#include <string>

#include "base/colecao.h"
#include "tasks/tarefa.h"

namespace tarvik {

// The journal of the update being applied: a file beside the updater that
// lists what the running script will replace, create and remove, and where
// each backup goes. It is on the disk before the first task runs and is
// removed when the script has finished or been undone, so a journal found at
// start-up means a run was cut short (power cut, a killed process) and the
// installation may hold a mix of two releases.
//
// Lines of text, fields separated by tabs (a tab, line break or '%' inside a
// path is written as %09, %0A, %0D or %25):
//   temporario <path>                                  a file being received
//   arquivo <0|1> <installed> <versioned> <plain>      a file entry; 1 when
//                                                      it was installed
//   pasta <13|14> <0|1> <folder>                       a folder removed (13)
//                                                      or created (14); 1 when
//                                                      it existed
//   acoes                                              the installation is
//                                                      about to change
// Before "acoes" only working files exist; after it the files are put back
// from their versioned backups and the created ones removed.

// Full name of the journal: the program's folder + "\atualizador.diario".
std::string CaminhoDiario();

// Writes the journal of `tarefas`, the script about to run; the tasks from
// position `inicioAcoes` (counted from 0) on change the installation.
void IniciaDiario(const Colecao<std::shared_ptr<Tarefa>>& tarefas, size_t inicioAcoes);

// Records that the tasks that change the installation start now.
void MarcaAcoesNoDiario();

// Removes the journal once the script has finished or been undone.
void EncerraDiario();

// Finishes the undo of a run that a journal shows was cut short: removes
// the working files it left, puts back every file it had backed up, removes
// the files and folders it created, recreates the folders it removed, logs
// it, and removes the journal. Does nothing without a journal. When
// something cannot be put back the journal stays for the next run and an
// `Erro` is raised, so that the application never starts on a mixed
// installation. A journal this program did not write is removed unread.
void ReparaAtualizacaoInterrompida();

}  // namespace tarvik

#endif  // TARVIK_SCRIPT_DIARIO_ATUALIZACAO_H_
