#include "publicador/arvore_versao.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "base/texto.h"
#include "publicador/nome_publicavel.h"
#include "publicador/recusa_publicacao.h"

namespace tarvik::publicacao {

namespace fs = std::filesystem;

namespace {

void Recusa(const std::string& motivo, const fs::path& onde) {
  throw RecusaPublicacao(motivo + " [" + onde.string() + "]");
}

}  // namespace

bool AntesNaArvore(const std::string& a, const std::string& b) {
  // The separator sorts before every character a name may hold.
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto chave = [](char c) { return c == '/' ? 0 : static_cast<unsigned char>(c) + 1; };
    return chave(x) < chave(y);
  });
}

ArvoreVersao LeArvoreVersao(const fs::path& raiz) {
  std::error_code erro;
  if (!fs::is_directory(raiz, erro)) Recusa("a versão não é uma pasta", raiz);
  ArvoreVersao arvore{raiz, {}};
  fs::recursive_directory_iterator it(raiz, erro), fim;
  for (; !erro && it != fim; it.increment(erro)) {
    const fs::file_status estado = it->symlink_status();
    EntradaArvore entrada;
    entrada.relativo = it->path().lexically_relative(raiz).generic_string();
    if (fs::is_directory(estado)) {
      entrada.pasta = true;
    } else if (fs::is_regular_file(estado)) {
      entrada.tamanho = fs::file_size(it->path());
    } else {
      Recusa("não é arquivo nem pasta", it->path());
    }
    const std::string nome = it->path().filename().string();
    if (const std::string problema = ProblemaNome(nome); !problema.empty()) {
      Recusa("nome que não se pode publicar (" + problema + ")", it->path());
    }
    arvore.entradas.push_back(std::move(entrada));
  }
  if (erro) Recusa("não foi possível ler a pasta: " + erro.message(), raiz);
  std::sort(arvore.entradas.begin(), arvore.entradas.end(),
            [](const EntradaArvore& a, const EntradaArvore& b) {
              return AntesNaArvore(a.relativo, b.relativo);
            });
  // Folded path -> path as written, to find names that differ only in case.
  std::map<std::string, std::string> dobrados;
  for (const EntradaArvore& entrada : arvore.entradas) {
    const auto [existente, novo] = dobrados.emplace(DobraCaixa(entrada.relativo), entrada.relativo);
    if (!novo) {
      throw RecusaPublicacao("nomes que diferem só em maiúsculas e minúsculas [" +
                             existente->second + "] e [" + entrada.relativo + "] em [" +
                             raiz.string() + "]");
    }
  }
  return arvore;
}

}  // namespace tarvik::publicacao
