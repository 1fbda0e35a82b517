#ifndef TARVIK_TOOLS_FORMULARIO_TESTE_CONSULTA_CLIENTE_H_
#define TARVIK_TOOLS_FORMULARIO_TESTE_CONSULTA_CLIENTE_H_

#include <string>

#include "base/erro.h"

namespace tarvik::formulario {

// frmCliente, the developer's test form: its caption, the first text of
// `Text1` (a check address on the developer's own machine) and the caption
// of `cmdConsultar`.
inline constexpr char kTitulo[] = "Form1";
inline constexpr char kEnderecoInicial[] =
    "http://127.0.0.1:8080/ConsultaAtualizador/VerificaAtualizacao.aspx?versaoAplicativo=1.0&"
    "atualizador=on";
inline constexpr char kBotaoConsultar[] = "&Consultar";

// What pressing `cmdConsultar` does: one updater check against `endereco`
// with sample values, on the program's folder, or on its "base" subfolder
// when the program runs from its source folder. The result is ignored; an
// `Erro` travels on.
void Consultar(const std::string& endereco);

// The report of an error that ends the form.
std::string TextoErro(const Erro& erro);

}  // namespace tarvik::formulario

#endif  // TARVIK_TOOLS_FORMULARIO_TESTE_CONSULTA_CLIENTE_H_
