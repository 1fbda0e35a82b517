#include "publicador/descritor_publicado.h"

#include <algorithm>
#include <memory>

#include "base/cp1252.h"
#include "descriptor/acao.h"
#include "descriptor/caminhos.h"
#include "descriptor/informacao_arquivo.h"
#include "descriptor/informacao_pasta.h"
#include "descriptor/recupera_dados_atualizacao.h"
#include "publicador/recusa_publicacao.h"
#include "servidor_referencia/texto_descritor.h"

namespace tarvik::publicacao {

namespace {

// A base folder to resolve the entries' destinations against, so that the
// check compares whole installed paths.
constexpr char kPastaBase[] = "C:\\TARVIK";

std::string CaminhoInstalado(const std::string& relativo) {
  std::string caminho = std::string(kPastaBase) + "\\" + relativo;
  std::replace(caminho.begin(), caminho.end(), '/', '\\');
  return caminho;
}

std::string Tipo(const EntradaDescritor& entrada) { return entrada.Pasta() ? "pasta" : "arquivo"; }

std::string Texto(bool valor) { return std::string(TextoDescritor::Logico(valor)); }

// Compares what the parser read with what was meant, item by item.
class Conferencia {
 public:
  template <typename T>
  void Igual(const std::string& onde, const T& lido, const T& esperado) const {
    if (lido != esperado) {
      throw RecusaPublicacao("o descritor lido de volta difere em " + onde + ": lido [" +
                             ComoTexto(lido) + "], esperado [" + ComoTexto(esperado) + "]");
    }
  }

 private:
  static std::string ComoTexto(const std::string& valor) { return valor; }
  static std::string ComoTexto(bool valor) { return Texto(valor); }
  static std::string ComoTexto(int32_t valor) { return std::to_string(valor); }
  static std::string ComoTexto(size_t valor) { return std::to_string(valor); }
};

void ConfereArquivo(const Conferencia& conferencia, const std::string& onde,
                    const InformacaoArquivo& lido, const EntradaDescritor& esperado) {
  conferencia.Igual(onde + " (caminho)", lido.Url(), esperado.caminho);
  conferencia.Igual(onde + " (tamanho)", lido.tamanho(), esperado.tamanho);
  conferencia.Igual(onde + " (hash)", lido.hash(), esperado.hash);
  conferencia.Igual(onde + " (authenticode)", lido.Authenticode(), esperado.authenticode);
}

}  // namespace

std::string EscreveDescritor(const PlanoAtualizacao& plano) {
  TextoDescritor texto;
  texto.Secao(chave::kSecaoSequencia);
  texto.Valor(chave::kItens, std::to_string(plano.sequencia.size()));
  texto.Valor(chave::kAtualizar, TextoDescritor::Logico(true));
  texto.Valor(chave::kVersao, plano.versaoNova);
  texto.Valor(chave::kAtualizarAtualizador,
              TextoDescritor::Logico(plano.produto == Produto::kAtualizador));
  int32_t n = 0;
  for (const EntradaDescritor& entrada : plano.sequencia) {
    ++n;
    texto.Valor(chave::kAcao, n, NomeAcao(entrada.acao));
    texto.Valor(chave::kCaminho, n, entrada.caminho);
    texto.Valor(chave::kDestino, n, entrada.destino);
    if (entrada.Pasta()) continue;
    texto.Valor(chave::kTamanho, n, std::to_string(entrada.tamanho));
    texto.Valor(chave::kHash, n, entrada.hash);
    texto.Valor(chave::kAuthenticode, n, TextoDescritor::Logico(entrada.authenticode));
    texto.Valor(chave::kArquivoAtualizador, n, TextoDescritor::Logico(entrada.arquivoAtualizador));
  }
  texto.Secao(chave::kSecaoOriginais);
  texto.Valor(chave::kVersao, plano.versaoInstalada);
  texto.Valor(chave::kItens, std::to_string(plano.originais.size()));
  int32_t i = 0;
  for (const EntradaDescritor& original : plano.originais) {
    ++i;
    texto.Valor(chave::kCaminho, i, original.caminho);
    texto.Valor(chave::kTamanho, i, std::to_string(original.tamanho));
    texto.Valor(chave::kHash, i, original.hash);
    texto.Valor(chave::kAuthenticode, i, TextoDescritor::Logico(original.authenticode));
  }
  return texto.Cp1252();
}

void ConfereDescritor(std::string_view descritor, const PlanoAtualizacao& plano) {
  // The updater decodes the answer from the code page, one byte a character.
  const DadosAtualizacao dados = RecuperaDadosAtualizacao(DeCp1252(descritor));
  const Conferencia conferencia;
  const bool atualizador = plano.produto == Produto::kAtualizador;
  conferencia.Igual("atualizar", dados.Atualizar(), true);
  conferencia.Igual("atualizar_atualizador", dados.AtualizarAtualizador(), atualizador);
  conferencia.Igual("versao", dados.NovaVersao(), plano.versaoNova);
  conferencia.Igual("versao dos arquivos originais", dados.VelhaVersao(), plano.versaoInstalada);

  const auto itens = dados.ItensSequencia();
  conferencia.Igual("número de itens", static_cast<size_t>(itens->Quantidade()),
                    plano.sequencia.size());
  std::vector<const EntradaDescritor*> baixar;
  for (size_t k = 0; k < plano.sequencia.size(); ++k) {
    const EntradaDescritor& esperado = plano.sequencia[k];
    const auto indice = static_cast<int32_t>(k + 1);
    const std::string onde = "item " + std::to_string(indice);
    const IItemSequencia& lido = *itens->Item(indice);
    conferencia.Igual(onde + " (índice)", lido.Indice(), indice);
    conferencia.Igual(onde + " (ação)", lido.Acao(), esperado.acao);
    conferencia.Igual(onde + " (caminho instalado)",
                      ObtemNomeArquivoInstalado(kPastaBase, lido.Destino(), lido.NomeDestino()),
                      CaminhoInstalado(esperado.relativo));
    conferencia.Igual(onde + " (arquivo do atualizador)", lido.ArquivoAtualizador(),
                      esperado.arquivoAtualizador);
    if (const auto* arquivo = dynamic_cast<const InformacaoArquivo*>(&lido)) {
      conferencia.Igual(onde + " (tipo)", std::string("arquivo"), Tipo(esperado));
      ConfereArquivo(conferencia, onde, *arquivo, esperado);
      if (!esperado.Pasta() && esperado.acao != acao::kRemoverArquivo) baixar.push_back(&esperado);
    } else {
      conferencia.Igual(onde + " (tipo)", std::string("pasta"), Tipo(esperado));
    }
  }

  const ArranjoArquivos recuperar = dados.ArquivosRecuperar();
  conferencia.Igual("número de arquivos a baixar", recuperar.size(), baixar.size());
  for (size_t k = 0; k < baixar.size(); ++k) {
    conferencia.Igual("arquivo a baixar " + std::to_string(k), recuperar[k]->Url(),
                      baixar[k]->caminho);
  }

  const ArranjoArquivos originais = dados.ArquivosOriginais();
  conferencia.Igual("número de arquivos originais",
                    static_cast<size_t>(dados.NumeroArquivosOriginais()), plano.originais.size());
  conferencia.Igual("arquivos originais lidos", originais.size(), plano.originais.size());
  for (size_t k = 0; k < plano.originais.size(); ++k) {
    const EntradaDescritor& esperado = plano.originais[k];
    const std::string onde = "arquivo original " + std::to_string(k + 1);
    ConfereArquivo(conferencia, onde, *originais[k], esperado);
    const std::string& relativo = esperado.relativo;
    conferencia.Igual(onde + " (nome)", originais[k]->NomeDestino(),
                      relativo.substr(relativo.rfind('/') + 1));
  }
}

}  // namespace tarvik::publicacao
