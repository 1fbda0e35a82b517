#include "publicador/publicacao.h"

#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>

#include "descriptor/acao.h"
#include "platform/utilitarios.h"
#include "publicador/descritor_publicado.h"
#include "publicador/recusa_publicacao.h"
#include "servidor_referencia/catalogo.h"

namespace tarvik::publicacao {

namespace fs = std::filesystem;

namespace {

bool Baixado(const EntradaDescritor& entrada) {
  return entrada.acao == acao::kSubstituirArquivo || entrada.acao == acao::kCopiarNovoArquivo;
}

// Puts files in the catalogue through a temporary sibling in its root, which
// no web server serves, and a rename.
class Gravador {
 public:
  explicit Gravador(const fs::path& catalogo) : catalogo_(catalogo) {}

  // Copies `origem` to `destino` when the copy has the hash `hash`: what is
  // served must be what the descriptor describes, even if the release
  // changed while it was being published.
  void Copia(const fs::path& origem, const fs::path& destino, const std::string& hash,
             Utilitarios& utilitarios) {
    const fs::path temporario = Temporario();
    fs::copy_file(origem, temporario, fs::copy_options::overwrite_existing);
    if (utilitarios.CalculaHash(temporario.string()) != hash) {
      fs::remove(temporario);
      throw RecusaPublicacao("o arquivo mudou durante a publicação [" + origem.string() + "]");
    }
    Instala(temporario, destino);
  }

  void Escreve(const std::string& conteudo, const fs::path& destino) {
    const fs::path temporario = Temporario();
    {
      std::ofstream arquivo(temporario, std::ios::binary | std::ios::trunc);
      arquivo.write(conteudo.data(), static_cast<std::streamsize>(conteudo.size()));
      if (!arquivo.flush()) {
        throw fs::filesystem_error("não foi possível gravar", temporario,
                                   std::make_error_code(std::errc::io_error));
      }
    }
    Instala(temporario, destino);
  }

 private:
  fs::path Temporario() {
    fs::create_directories(catalogo_);
    return catalogo_ /
           (".publicando-" + std::to_string(::getpid()) + "-" + std::to_string(++numero_));
  }

  static void Instala(const fs::path& temporario, const fs::path& destino) {
    fs::create_directories(destino.parent_path());
    fs::rename(temporario, destino);
  }

  fs::path catalogo_;
  int numero_ = 0;
};

}  // namespace

Publicacao Publica(const ParametrosPublicacao& parametros) {
  Publicacao publicacao;
  publicacao.plano = PlanejaAtualizacao(parametros);
  const PlanoAtualizacao& plano = publicacao.plano;
  const std::string descritor = EscreveDescritor(plano);
  ConfereDescritor(descritor, plano);

  const Catalogo catalogo(parametros.catalogo);
  publicacao.arquivos = catalogo.Arquivos(plano.produto, plano.versaoNova);
  publicacao.descritor = catalogo.Descritor(plano.produto, plano.versaoInstalada, plano.versaoNova);
  const auto utilitarios = CriaUtilitarios();

  // Every conflict is found before anything is written.
  std::vector<const EntradaDescritor*> copiar;
  for (const EntradaDescritor& entrada : plano.sequencia) {
    if (!Baixado(entrada)) continue;
    const fs::path publicado = publicacao.arquivos / entrada.relativo;
    if (!fs::exists(publicado)) {
      copiar.push_back(&entrada);
    } else if (utilitarios->CalculaHash(publicado.string()) != entrada.hash) {
      throw RecusaPublicacao("a versão " + plano.versaoNova +
                             " já foi publicada com outro conteúdo em [" + publicado.string() +
                             "]");
    }
  }

  Gravador gravador(parametros.catalogo);
  for (const EntradaDescritor* entrada : copiar) {
    gravador.Copia(parametros.nova / entrada->relativo, publicacao.arquivos / entrada->relativo,
                   entrada->hash, *utilitarios);
    ++publicacao.copiados;
  }
  gravador.Escreve(descritor, publicacao.descritor);
  return publicacao;
}

}  // namespace tarvik::publicacao
