#ifndef TARVIK_TOOLS_SERVIDOR_REFERENCIA_PAGINA_PAINEL_H_
#define TARVIK_TOOLS_SERVIDOR_REFERENCIA_PAGINA_PAINEL_H_

#include <string>
#include <string_view>

#include "servidor_referencia/painel.h"

namespace tarvik::referencia {

// The dashboard as one HTML page with its charts drawn as inline SVG: no
// script and nothing fetched from elsewhere. Every count sits in an element
// with data-versao and data-desfecho (or data-instalacoes), so that a
// program reading the page finds it. Every value from a report is escaped.
std::string PaginaPainel(const ResumoPainel& resumo, const FiltroPainel& filtro);

// The login form; `aviso` (may be empty) is shown above it.
std::string PaginaEntrada(std::string_view aviso);

// `texto` with &, <, >, " and ' written as character references.
std::string EscapaHtml(std::string_view texto);

}  // namespace tarvik::referencia

#endif  // TARVIK_TOOLS_SERVIDOR_REFERENCIA_PAGINA_PAINEL_H_
