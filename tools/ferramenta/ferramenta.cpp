#include "ferramenta/ferramenta.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "base/erro.h"

namespace tarvik::ferramenta {
namespace {

bool Contem(const std::vector<std::string_view>& nomes, std::string_view nome) {
  return std::find(nomes.begin(), nomes.end(), nome) != nomes.end();
}

void Relata(std::string_view programa, const std::string& texto) {
  std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(programa.size()), programa.data(),
               texto.c_str());
}

}  // namespace

std::optional<Opcoes> LeOpcoes(const std::vector<std::string>& palavras,
                               const std::vector<std::string_view>& comValor,
                               const std::vector<std::string_view>& marcas) {
  Opcoes opcoes;
  for (size_t i = 0; i < palavras.size(); ++i) {
    const std::string& nome = palavras[i];
    if (opcoes.contains(nome)) return std::nullopt;
    if (Contem(marcas, nome)) {
      opcoes[nome] = "";
    } else if (Contem(comValor, nome) && i + 1 < palavras.size()) {
      opcoes[nome] = palavras[++i];
    } else {
      return std::nullopt;
    }
  }
  return opcoes;
}

int Executa(std::string_view programa, const std::function<int()>& trabalho) {
  try {
    return trabalho();
  } catch (const Erro& erro) {
    Relata(programa, "erro " + std::to_string(erro.Numero()) + ": " + erro.Descricao());
  } catch (const std::exception& erro) {
    Relata(programa, erro.what());
  }
  return 1;
}

}  // namespace tarvik::ferramenta
