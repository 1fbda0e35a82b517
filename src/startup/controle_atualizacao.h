#ifndef TARVIK_STARTUP_CONTROLE_ATUALIZACAO_H_
#define TARVIK_STARTUP_CONTROLE_ATUALIZACAO_H_

#include <string>

namespace tarvik {

// Full name of the control file: the program's folder + "\dados\atualiza.txt".
std::string CaminhoControle();

// True when an update check is due: the control file is missing, or its
// last-modification date is two or more calendar days from today, in either
// direction. Never fails; what cannot be read counts as due.
bool VerificaControleAtualizacao();

// (Re)writes the control file, which moves its date to now. Never fails; a
// missing "dados" folder is not created, and a link in the control file's
// place is not written through, so the file is simply not written.
void CriaControleAtualizacao();

}  // namespace tarvik

#endif  // TARVIK_STARTUP_CONTROLE_ATUALIZACAO_H_
