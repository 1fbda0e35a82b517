#ifndef TARVIK_DESCRIPTOR_RECUPERA_DADOS_ATUALIZACAO_H_
#define TARVIK_DESCRIPTOR_RECUPERA_DADOS_ATUALIZACAO_H_

#include <string>

#include "descriptor/dados_atualizacao.h"

namespace tarvik {

// Turns the update server's answer, already decoded one character per byte,
// into a `DadosAtualizacao`. When no update is due only the four decision
// keys of "sequenciaAtualizacao" are read.
//
// A descriptor that cannot be read raises `Erro` whose description names the
// section and key at fault: 5 for a missing section or key, 13 for a count,
// size or truth value that does not convert, 6 for a count or size beyond
// 32 bits; and the errors of `InterpretaConteudo`.
DadosAtualizacao RecuperaDadosAtualizacao(std::string conteudo);

}  // namespace tarvik

#endif  // TARVIK_DESCRIPTOR_RECUPERA_DADOS_ATUALIZACAO_H_
