#include "servidor_referencia/texto_descritor.h"

#include <stdexcept>

#include "base/cp1252.h"

namespace tarvik::publicacao {

void TextoDescritor::Secao(std::string_view nome) {
  texto_ += "[";
  texto_ += nome;
  texto_ += "]\r\n";
}

void TextoDescritor::Valor(std::string_view chave, std::string_view valor) {
  if (valor.find_first_of("\r\n") != std::string_view::npos) {
    throw std::invalid_argument("quebra de linha no valor de " + std::string(chave));
  }
  texto_ += chave;
  texto_ += "=";
  texto_ += valor;
  texto_ += "\r\n";
}

void TextoDescritor::Valor(std::string_view radical, int32_t indice, std::string_view valor) {
  Valor(std::string(radical) + std::to_string(indice), valor);
}

std::string_view TextoDescritor::Logico(bool valor) { return valor ? "true" : "false"; }

std::string TextoDescritor::Cp1252() const { return ParaCp1252(texto_); }

std::string DescritorSemAtualizacao(std::string_view versao) {
  TextoDescritor texto;
  texto.Secao(chave::kSecaoSequencia);
  texto.Valor(chave::kItens, "0");
  texto.Valor(chave::kAtualizar, TextoDescritor::Logico(false));
  texto.Valor(chave::kVersao, versao);
  texto.Valor(chave::kAtualizarAtualizador, TextoDescritor::Logico(false));
  return texto.Cp1252();
}

}  // namespace tarvik::publicacao
