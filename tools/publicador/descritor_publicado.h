#ifndef TARVIK_TOOLS_PUBLICADOR_DESCRITOR_PUBLICADO_H_
#define TARVIK_TOOLS_PUBLICADOR_DESCRITOR_PUBLICADO_H_

#include <string>
#include <string_view>

#include "publicador/plano_atualizacao.h"

namespace tarvik::publicacao {

// The descriptor of `plano` as the server sends it, in Windows-1252: the
// section "sequenciaAtualizacao" with the decision, the new version and the
// entries in plan order (index 1 first), then "arquivosOriginais" with the
// installed version and its files.
std::string EscreveDescritor(const PlanoAtualizacao& plano);

// Reads `descritor` back with the updater's own parser and checks that the
// updater will see exactly `plano`: the decision and versions, every entry in
// order with its action, its installed path below the base folder and its
// values, the files to download in order, and the installed files. Raises
// `RecusaPublicacao` naming the first difference, or the parser's own `Erro`
// when the text does not parse.
void ConfereDescritor(std::string_view descritor, const PlanoAtualizacao& plano);

}  // namespace tarvik::publicacao

#endif  // TARVIK_TOOLS_PUBLICADOR_DESCRITOR_PUBLICADO_H_
