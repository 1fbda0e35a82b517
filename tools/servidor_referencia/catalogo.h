#ifndef TARVIK_TOOLS_SERVIDOR_REFERENCIA_CATALOGO_H_
#define TARVIK_TOOLS_SERVIDOR_REFERENCIA_CATALOGO_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

namespace tarvik::publicacao {

// The two products an installation asks about: the application, and the
// updater's own files.
enum class Produto { kAplicativo, kAtualizador };

// The product's folder name in the catalogue: "aplicativo" or "atualizador".
std::string_view NomeProduto(Produto produto);

// True for a version text the catalogue can hold: 1 to 64 letters, digits,
// '.', '_' or '-', beginning with a letter or a digit. Such a text is safe as
// a folder name and travels unchanged in a URL.
bool VersaoValida(std::string_view versao);

// Orders two versions: they are compared component by component (split at
// '.'), numbers as numbers and other components as text; when one version
// is the beginning of the other, the shorter is older. Negative when `a` is
// older, zero when both name the same version, positive when `a` is newer.
int ComparaVersoes(std::string_view a, std::string_view b);

// What the catalogue has for an installation of one version.
struct Procura {
  enum class Tipo {
    kAtual,         // the installation has the newest version
    kDesconhecida,  // no descriptor takes it to the newest version
    kAtualizacao,   // `descritor` takes it to `novaVersao`
  };
  Tipo tipo = Tipo::kDesconhecida;
  std::filesystem::path descritor;
  std::string novaVersao;
};

// The published releases, in one folder:
//   descritores/<produto>/<installed version>/<new version>.txt
//   arquivos/<produto>/<new version>/<the new files, as in the release>
// Every descriptor takes its installed version to its new version; the files
// folder is what a web server serves at the URL the descriptors name.
class Catalogo {
 public:
  explicit Catalogo(std::filesystem::path pasta) : pasta_(std::move(pasta)) {}

  const std::filesystem::path& Pasta() const { return pasta_; }

  // The folder of served files, the root of every file URL.
  std::filesystem::path PastaArquivos() const { return pasta_ / "arquivos"; }

  // Where the descriptor from `velha` to `nova` lies. Versions must be valid.
  std::filesystem::path Descritor(Produto produto, std::string_view velha,
                                  std::string_view nova) const;

  // Where the files of version `nova` lie. The version must be valid.
  std::filesystem::path Arquivos(Produto produto, std::string_view nova) const;

  // The newest version that some descriptor of the product leads to; empty
  // when the product has none. Folders and files that are not valid
  // versions are passed over. Never fails.
  std::string VersaoMaisRecente(Produto produto) const;

  // What to answer an installation of `versao`: current when it is the
  // newest version, the descriptor from it to the newest when one was
  // published, unknown otherwise (also for a text that is not a valid
  // version). Read afresh on every call, so that releases published while a
  // server runs are seen at once. Never fails.
  Procura ProcuraAtualizacao(Produto produto, std::string_view versao) const;

 private:
  std::filesystem::path pasta_;
};

}  // namespace tarvik::publicacao

#endif  // TARVIK_TOOLS_SERVIDOR_REFERENCIA_CATALOGO_H_
