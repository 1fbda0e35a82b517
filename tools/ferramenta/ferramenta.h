#ifndef TARVIK_TOOLS_FERRAMENTA_FERRAMENTA_H_
#define TARVIK_TOOLS_FERRAMENTA_FERRAMENTA_H_

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the command-line tools beside the updater share: reading their
// options and turning a failure into one line and an exit status.
namespace tarvik::ferramenta {

// Option name -> value; a flag's value is empty.
using Opcoes = std::map<std::string, std::string, std::less<>>;

// The options of `palavras`: each name of `comValor` followed by its value,
// each name of `marcas` alone, every name at most once. Nothing when the
// line holds anything else.
std::optional<Opcoes> LeOpcoes(const std::vector<std::string>& palavras,
                               const std::vector<std::string_view>& comValor,
                               const std::vector<std::string_view>& marcas = {});

// Runs a tool's work and returns its exit status. What escapes the work
// becomes one line on standard error, "programa: erro N: description" for an
// `Erro` and "programa: text" for any other exception, and the status 1.
int Executa(std::string_view programa, const std::function<int()>& trabalho);

}  // namespace tarvik::ferramenta

#endif  // TARVIK_TOOLS_FERRAMENTA_FERRAMENTA_H_
