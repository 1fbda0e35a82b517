#include "servidor_referencia/consulta_atualizacao.h"

#include <algorithm>
#include <array>
#include <optional>

#include "descriptor/resultado.h"

namespace tarvik::referencia {

namespace {

constexpr std::string_view kChaveVersao = "versaoAplicativo";
constexpr std::string_view kChaveAtualizador = "atualizador";
constexpr std::string_view kAtualizadorLigado = "on";
constexpr std::string_view kInicioRelatorio = "operacao=resultado&";
constexpr std::string_view kChaveOperacao = "operacao=";
constexpr size_t kDigitosData = 14;

std::optional<int> ValorHex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

ConsultaAtualizacao Invalida(std::string motivo) {
  ConsultaAtualizacao consulta;
  consulta.motivo = std::move(motivo);
  return consulta;
}

// "nome=", as the field starts in the query.
std::string Campo(std::string_view nome) {
  std::string campo(nome);
  campo += '=';
  return campo;
}

ConsultaAtualizacao Ausente(std::string_view nome) {
  std::string motivo = "campo [";
  motivo += nome;
  motivo += "] ausente ou fora de ordem";
  return Invalida(std::move(motivo));
}

bool ResultadoConhecido(std::string_view nome) {
  for (int codigo = 0; codigo <= static_cast<int>(Resultado::kArquivosEmUsoReiniciar); ++codigo) {
    if (NomeResultado(static_cast<Resultado>(codigo)) == nome) return true;
  }
  return false;
}

ConsultaAtualizacao InterpretaRelatorio(std::string_view consulta) {
  if (!consulta.starts_with(kInicioRelatorio)) return Invalida("operação desconhecida");
  ConsultaAtualizacao relatorio;
  size_t posicao = kInicioRelatorio.size();
  for (size_t campo = 0; campo < kCamposRelatorio.size(); ++campo) {
    const std::string nome = Campo(kCamposRelatorio[campo].nome);
    if (consulta.substr(posicao, nome.size()) != nome) return Ausente(kCamposRelatorio[campo].nome);
    const size_t inicio = posicao + nome.size();
    size_t fim = consulta.size();
    if (campo + 1 < kCamposRelatorio.size()) {
      std::string proximo = "&";
      proximo += Campo(kCamposRelatorio[campo + 1].nome);
      fim = consulta.find(proximo, inicio);
      if (fim == std::string_view::npos) return Ausente(kCamposRelatorio[campo + 1].nome);
      posicao = fim + 1;
    }
    std::string valor = DecodificaPercentual(consulta.substr(inicio, fim - inicio));
    if (!TextoUtf8(valor)) {
      return Invalida("campo [" + std::string(kCamposRelatorio[campo].nome) +
                      "] não é texto UTF-8");
    }
    relatorio.relatorio.*kCamposRelatorio[campo].valor = std::move(valor);
  }
  const std::string& data = relatorio.relatorio.data;
  if (data.size() != kDigitosData ||
      !std::all_of(data.begin(), data.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return Invalida("data [" + data + "] não tem 14 dígitos");
  }
  if (!ResultadoConhecido(relatorio.relatorio.resultado)) {
    return Invalida("resultado [" + relatorio.relatorio.resultado + "] desconhecido");
  }
  relatorio.tipo = ConsultaAtualizacao::Tipo::kRelatorio;
  return relatorio;
}

ConsultaAtualizacao InterpretaVerificacao(std::string_view consulta) {
  std::optional<std::string> versao, atualizador;
  size_t inicio = 0;
  while (inicio <= consulta.size()) {
    const size_t fim = std::min(consulta.find('&', inicio), consulta.size());
    const std::string_view par = consulta.substr(inicio, fim - inicio);
    inicio = fim + 1;
    const size_t igual = par.find('=');
    const std::string chave = DecodificaPercentual(par.substr(0, igual));
    std::optional<std::string>* destino = chave == kChaveVersao        ? &versao
                                          : chave == kChaveAtualizador ? &atualizador
                                                                       : nullptr;
    if (!destino) return Invalida("chave [" + chave + "] desconhecida");
    if (igual == std::string_view::npos) return Invalida("chave [" + chave + "] sem valor");
    if (destino->has_value()) return Invalida("chave [" + chave + "] repetida");
    *destino = DecodificaPercentual(par.substr(igual + 1));
  }
  if (!versao) return Invalida("falta a chave [" + std::string(kChaveVersao) + "]");
  if (versao->empty()) return Invalida("versão vazia");
  if (atualizador && *atualizador != kAtualizadorLigado) {
    return Invalida("valor [" + *atualizador + "] da chave [" + std::string(kChaveAtualizador) +
                    "]");
  }
  ConsultaAtualizacao verificacao;
  verificacao.tipo = ConsultaAtualizacao::Tipo::kVerificacao;
  verificacao.produto =
      atualizador ? publicacao::Produto::kAtualizador : publicacao::Produto::kAplicativo;
  verificacao.versao = std::move(*versao);
  return verificacao;
}

}  // namespace

std::string DecodificaPercentual(std::string_view texto) {
  std::string decodificado;
  decodificado.reserve(texto.size());
  for (size_t i = 0; i < texto.size(); ++i) {
    if (texto[i] == '%' && i + 2 < texto.size()) {
      const auto alto = ValorHex(texto[i + 1]), baixo = ValorHex(texto[i + 2]);
      if (alto && baixo) {
        decodificado += static_cast<char>(*alto * 16 + *baixo);
        i += 2;
        continue;
      }
    }
    decodificado += texto[i];
  }
  return decodificado;
}

bool TextoUtf8(std::string_view texto) {
  for (size_t i = 0; i < texto.size();) {
    const auto octeto = static_cast<unsigned char>(texto[i]);
    if (octeto == 0) return false;
    if (octeto < 0x80) {
      ++i;
      continue;
    }
    // Lead bytes C2..F4 only: no overlong two-byte forms, nothing past
    // U+10FFFF; the second byte's range rules out the other overlong forms
    // and the surrogates.
    const size_t seguintes = octeto >= 0xF0 ? 3 : octeto >= 0xE0 ? 2 : 1;
    if (octeto < 0xC2 || octeto > 0xF4 || i + seguintes >= texto.size()) return false;
    const auto segundo = static_cast<unsigned char>(texto[i + 1]);
    const unsigned char minimo = octeto == 0xE0 ? 0xA0 : octeto == 0xF0 ? 0x90 : 0x80;
    const unsigned char maximo = octeto == 0xED ? 0x9F : octeto == 0xF4 ? 0x8F : 0xBF;
    if (segundo < minimo || segundo > maximo) return false;
    for (size_t j = 2; j <= seguintes; ++j) {
      if ((static_cast<unsigned char>(texto[i + j]) & 0xC0) != 0x80) return false;
    }
    i += seguintes + 1;
  }
  return true;
}

ConsultaAtualizacao InterpretaConsulta(std::string_view consulta) {
  if (consulta.empty()) return Invalida("consulta vazia");
  if (consulta.starts_with(kChaveOperacao)) return InterpretaRelatorio(consulta);
  return InterpretaVerificacao(consulta);
}

}  // namespace tarvik::referencia
