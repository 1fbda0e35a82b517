#ifndef TARVIK_TESTS_TOOLS_ARVORES_TESTE_H_
#define TARVIK_TESTS_TOOLS_ARVORES_TESTE_H_

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tarvik::teste {

// A release tree as a list of paths below its root: a path ending in '/' is
// a folder, any other a file with the given content.
using Arvore = std::vector<std::pair<std::string, std::string>>;

// Creates the entries of `arvore` under `raiz`, which is created too.
void CriaArvore(const std::filesystem::path& raiz, const Arvore& arvore);

// Every file and folder under `raiz`, folders ending in '/', with the files'
// contents, in path order; compares with an `Arvore`.
Arvore LeArvore(const std::filesystem::path& raiz);

// A minimal PE image; with `assinada`, it carries a certificate table whose
// content is no real signature.
std::string ImagemPe(bool assinada);

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_TOOLS_ARVORES_TESTE_H_
