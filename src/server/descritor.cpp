#include "server/descritor.h"

#include <string_view>
#include <utility>

#include "base/erro.h"
#include "base/texto.h"

namespace tarvik {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Cuts lines off a text one after another the way `SeparaLinhas` does, in
// time linear in the text: the position of the next line break of each kind
// is remembered until the cursor passes it, since a search that found none
// will find none in what remains either.
class LineCutter {
 public:
  explicit LineCutter(std::string_view text) : text_(text) {}

  std::string_view Next() {
    size_t end = Find(kCrLf, crLf_);
    size_t breakSize = kCrLf.size();
    if (end == std::string_view::npos) {
      end = Find("\n", lf_);
      if (end == std::string_view::npos) end = Find("\r", cr_);
      breakSize = 1;
    }
    if (end == std::string_view::npos) {
      end = text_.size();
      breakSize = 0;
    }
    const auto line = text_.substr(position_, end - position_);
    position_ = end + breakSize;
    return line;
  }

  // How much of the text the lines cut so far have used.
  size_t Consumed() const { return position_; }
  bool AtEnd() const { return position_ == text_.size(); }

 private:
  struct NextBreak {
    bool known = false;
    size_t at = std::string_view::npos;
  };

  size_t Find(std::string_view lineBreak, NextBreak& next) const {
    if (!next.known || (next.at != std::string_view::npos && next.at < position_)) {
      next = {true, text_.find(lineBreak, position_)};
    }
    return next.at;
  }

  std::string_view text_;
  size_t position_ = 0;
  NextBreak crLf_;
  NextBreak lf_;
  NextBreak cr_;
};

Erro ErroConteudo(int32_t numero, const std::string& detalhe) {
  return Erro(numero, "InterpretaConteudo", DescricaoPadrao(numero) + ": " + detalhe);
}

void AdicionaSecao(Secoes& secoes, std::shared_ptr<Secao> secao, std::string nome) {
  if (secoes.Contem(nome)) {
    throw ErroConteudo(codigo_erro::kChaveDuplicada, "seção [" + nome + "] repetida");
  }
  secoes.Adiciona(std::move(secao), std::move(nome));
}

void AdicionaValor(Secao& secao, std::string_view nomeSecao, std::string chave, std::string valor) {
  if (secao.Contem(chave)) {
    throw ErroConteudo(codigo_erro::kChaveDuplicada,
                       "chave [" + chave + "] repetida na seção [" + std::string(nomeSecao) + "]");
  }
  std::string chaveColecao = chave;
  secao.Adiciona({std::move(chave), std::move(valor)}, std::move(chaveColecao));
}

}  // namespace

std::string SeparaLinhas(std::string& texto) {
  LineCutter cortador(texto);
  std::string linha(cortador.Next());
  texto.erase(0, cortador.Consumed());
  return linha;
}

Secoes InterpretaConteudo(std::string& conteudo) {
  Secoes secoes;
  std::shared_ptr<Secao> atual;
  std::string nomeAtual;
  LineCutter cortador(conteudo);
  std::string_view linha;
  do {
    linha = RemoveEspacos(cortador.Next());
    if (linha.empty() || linha.front() == '#') continue;
    if (linha.front() == '[') {
      // The last character closes the header without being looked at; a
      // lone "[" has none to drop.
      if (linha.size() < 2) {
        throw ErroConteudo(codigo_erro::kArgumentoInvalido, "cabeçalho de seção sem nome [[]");
      }
      nomeAtual = std::string(linha.substr(1, linha.size() - 2));
      atual = std::make_shared<Secao>();
      AdicionaSecao(secoes, atual, nomeAtual);
      continue;
    }
    const auto igual = linha.find('=');
    if (igual == std::string_view::npos) continue;
    std::string chave(RemoveEspacos(linha.substr(0, igual)));
    if (!atual) {
      throw ErroConteudo(codigo_erro::kArgumentoInvalido,
                         "chave [" + chave + "] antes do primeiro cabeçalho de seção");
    }
    AdicionaValor(*atual, nomeAtual, std::move(chave), std::string(linha.substr(igual + 1)));
  } while (!cortador.AtEnd() && !linha.empty());
  conteudo.erase(0, cortador.Consumed());
  return secoes;
}

}  // namespace tarvik
