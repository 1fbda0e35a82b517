#include "servidor_referencia/servidor_referencia.h"

#include <httplib.h>

#include <array>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "base/cp1252.h"
#include "base/hexadecimal.h"
#include "platform/utilitarios.h"
#include "servidor_referencia/consulta_atualizacao.h"
#include "servidor_referencia/pagina_painel.h"
#include "servidor_referencia/painel.h"
#include "servidor_referencia/texto_descritor.h"

namespace tarvik::referencia {

namespace fs = std::filesystem;

namespace {

constexpr char kTipoDescritor[] = "text/plain; charset=windows-1252";
constexpr char kTipoTexto[] = "text/plain; charset=utf-8";
constexpr char kTipoArquivo[] = "application/octet-stream";
constexpr char kTipoHtml[] = "text/html; charset=utf-8";
constexpr size_t kBloco = 64 * 1024;
// A check or a report is a GET without body; nothing larger is expected.
constexpr size_t kCorpoMaximo = 64 * 1024;
constexpr time_t kEsperaLeituraSegundos = 10;
// A connection serves this many requests; httplib's default of 5 would make
// an update of thousands of files open a connection every five.
constexpr size_t kPedidosPorConexao = 1000;

// What the log line says about the request being answered. Set by the
// handler and read by the logger, which httplib runs right after the
// handler on the same thread.
thread_local std::string nota;

void Recusa(httplib::Response& resposta, int status, const std::string& motivo) {
  resposta.status = status;
  resposta.set_content(motivo + "\n", kTipoTexto);
  nota = motivo;
}

// A regular expression that matches `texto` and nothing else.
std::string PadraoExato(std::string_view texto) {
  std::string padrao;
  for (const char c : texto) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '/' && c != '_') padrao += '\\';
    padrao += c;
  }
  return padrao;
}

// The path below the files folder that `relativo` names; empty when it has
// an empty, "." or ".." component, a backslash or a NUL, so that no request
// reaches outside the folder.
fs::path CaminhoSeguro(const fs::path& pasta, std::string_view relativo) {
  fs::path caminho = pasta;
  size_t inicio = 0;
  while (inicio <= relativo.size()) {
    const size_t fim = std::min(relativo.find('/', inicio), relativo.size());
    const std::string_view componente = relativo.substr(inicio, fim - inicio);
    if (componente.empty() || componente == "." || componente == ".." ||
        componente.find_first_of(std::string_view("\\\0", 2)) != std::string_view::npos) {
      return {};
    }
    caminho /= componente;
    inicio = fim + 1;
  }
  return caminho;
}

std::unique_ptr<httplib::Server> CriaServidor(const ConfiguracaoServidor& configuracao) {
  if (configuracao.certificado.empty() != configuracao.chave.empty()) {
    throw std::runtime_error("HTTPS precisa do certificado e da chave");
  }
  if (configuracao.certificado.empty()) return std::make_unique<httplib::Server>();
  auto servidor = std::make_unique<httplib::SSLServer>(configuracao.certificado.c_str(),
                                                       configuracao.chave.c_str());
  if (!servidor->is_valid()) {
    throw std::runtime_error("não foi possível carregar o certificado [" +
                             configuracao.certificado.string() + "] e a chave [" +
                             configuracao.chave.string() + "]");
  }
  return servidor;
}

// The catalogue to serve, refused when it or its descriptors folder cannot
// be read: a mistyped folder would otherwise answer "no update" to every
// installation, and nobody would notice.
publicacao::Catalogo CatalogoLegivel(const fs::path& pasta) {
  for (const fs::path& exigida : {pasta, pasta / "descritores"}) {
    std::error_code erro;
    fs::directory_iterator leitura(exigida, erro);
    if (!erro) continue;
    throw std::runtime_error(
        "não foi possível ler o catálogo [" + pasta.string() + "]: a pasta [" + exigida.string() +
        "] " + (erro == std::errc::no_such_file_or_directory ? "não existe" : erro.message()));
  }
  return publicacao::Catalogo(pasta);
}

// Loopback addresses, where nobody else can read the traffic.
bool Local(const std::string& endereco) {
  return endereco.starts_with("127.") || endereco == "::1" || endereco == "localhost";
}

// Pages with customers' data: never cached, never framed, nothing run or
// fetched but their own inline style.
void Reservada(httplib::Response& resposta) {
  resposta.set_header("Cache-Control", "no-store");
  resposta.set_header("X-Frame-Options", "DENY");
  resposta.set_header("Content-Security-Policy",
                      "default-src 'none'; style-src 'unsafe-inline'; form-action 'self'");
}

}  // namespace

ServidorReferencia::ServidorReferencia(ConfiguracaoServidor configuracao, Registro registro,
                                       Relogio relogio)
    : configuracao_(std::move(configuracao)),
      registro_(std::move(registro)),
      relogio_(std::move(relogio)),
      catalogo_(CatalogoLegivel(configuracao_.catalogo)),
      banco_(AbreBanco(configuracao_.banco, BancoRelatorios::Modo::kGravacao)),
      http_(CriaServidor(configuracao_)) {
  if (!configuracao_.senhaOperador.empty()) {
    acesso_ = std::make_unique<AcessoOperador>(configuracao_.senhaOperador);
    if (configuracao_.certificado.empty() && !Local(configuracao_.endereco)) {
      throw std::runtime_error("o painel em " + configuracao_.endereco +
                               " exige HTTPS: a senha e os dados dos clientes passariam abertos");
    }
  }
  Rotas();
  RotasPainel();
}

ServidorReferencia::~ServidorReferencia() { Para(); }

int ServidorReferencia::Abre() {
  porta_ =
      configuracao_.porta == 0
          ? http_->bind_to_any_port(configuracao_.endereco)
          : (http_->bind_to_port(configuracao_.endereco, configuracao_.porta) ? configuracao_.porta
                                                                              : -1);
  if (porta_ <= 0) {
    throw std::runtime_error("não foi possível ouvir em " + configuracao_.endereco + ":" +
                             std::to_string(configuracao_.porta));
  }
  return porta_;
}

void ServidorReferencia::Serve() { http_->listen_after_bind(); }

void ServidorReferencia::Para() { http_->stop(); }

std::string ServidorReferencia::Url() const {
  return std::string(configuracao_.certificado.empty() ? "http" : "https") + "://" +
         configuracao_.endereco + ":" + std::to_string(porta_);
}

std::string ServidorReferencia::RelogioUtc() {
  const std::time_t agora = std::time(nullptr);
  std::tm partes{};
  gmtime_r(&agora, &partes);
  std::array<char, 32> texto{};
  std::strftime(texto.data(), texto.size(), "%Y-%m-%d %H:%M:%S", &partes);
  return texto.data();
}

void ServidorReferencia::Rotas() {
  // httplib's default also sets SO_REUSEPORT, with which a second server on
  // the same port would start without error and take half the requests.
  http_->set_socket_options([](socket_t soquete) {
    const int sim = 1;
    setsockopt(soquete, SOL_SOCKET, SO_REUSEADDR, &sim, sizeof sim);
  });
  // A small answer goes out in two writes, headers and body; with Nagle's
  // rule the body would wait for the client's delayed acknowledgement, some
  // 40 ms on Linux, on every check, report and file. The updater keeps one
  // connection for the files of an update.
  http_->set_tcp_nodelay(true);
  http_->set_keep_alive_max_count(kPedidosPorConexao);
  http_->set_payload_max_length(kCorpoMaximo);
  http_->set_read_timeout(kEsperaLeituraSegundos);

  http_->Get(PadraoExato(kCaminhoVerificacao), [this](const httplib::Request& pedido,
                                                      httplib::Response& resposta) {
    const size_t interrogacao = pedido.target.find('?');
    const ConsultaAtualizacao consulta =
        InterpretaConsulta(interrogacao == std::string::npos
                               ? std::string_view()
                               : std::string_view(pedido.target).substr(interrogacao + 1));
    if (consulta.tipo == ConsultaAtualizacao::Tipo::kInvalida)
      return Recusa(resposta, 400, consulta.motivo);

    if (consulta.tipo == ConsultaAtualizacao::Tipo::kRelatorio) {
      RelatorioResultado relatorio = consulta.relatorio;
      relatorio.recebidoEm = relogio_();
      relatorio.endereco = pedido.remote_addr;
      relatorio.informacaoCliente = DeCp1252(pedido.get_header_value(kCabecalhoInformacaoCliente));
      if (!TextoUtf8(relatorio.informacaoCliente))
        return Recusa(resposta, 400, "informação do cliente não é texto UTF-8");
      banco_->Grava(relatorio);
      resposta.set_content("OK\n", kTipoTexto);
      nota = "relatório " + relatorio.resultado + " de " + relatorio.versaoOriginal + " para " +
             relatorio.versaoAtualizada + " gravado";
      return;
    }

    const std::string produto(publicacao::NomeProduto(consulta.produto));
    const publicacao::Procura procura =
        catalogo_.ProcuraAtualizacao(consulta.produto, consulta.versao);
    switch (procura.tipo) {
      case publicacao::Procura::Tipo::kAtualizacao: {
        std::ifstream arquivo(procura.descritor, std::ios::binary);
        std::ostringstream conteudo;
        conteudo << arquivo.rdbuf();
        if (!arquivo)
          return Recusa(resposta, 500, "descritor ilegível [" + procura.descritor.string() + "]");
        resposta.set_content(conteudo.str(), kTipoDescritor);
        nota = produto + " " + consulta.versao + " -> " + procura.novaVersao;
        return;
      }
      case publicacao::Procura::Tipo::kAtual:
        resposta.set_content(publicacao::DescritorSemAtualizacao(procura.novaVersao),
                             kTipoDescritor);
        nota = produto + " " + consulta.versao + ": versão atual";
        return;
      case publicacao::Procura::Tipo::kDesconhecida:
        // A text that is no version is not repeated into the descriptor.
        resposta.set_content(publicacao::DescritorSemAtualizacao(
                                 publicacao::VersaoValida(consulta.versao) ? consulta.versao : ""),
                             kTipoDescritor);
        nota = produto + " " + consulta.versao + ": versão sem atualização publicada";
        return;
    }
  });

  http_->Get(PadraoExato(kCaminhoArquivos) + "(.*)", [this](const httplib::Request& pedido,
                                                            httplib::Response& resposta) {
    const fs::path caminho = CaminhoSeguro(catalogo_.PastaArquivos(), pedido.matches[1].str());
    std::error_code erro;
    if (caminho.empty() || !fs::is_regular_file(fs::symlink_status(caminho, erro))) {
      return Recusa(resposta, 404, "arquivo não encontrado");
    }
    const uintmax_t tamanho = fs::file_size(caminho, erro);
    auto arquivo = std::make_shared<std::ifstream>(caminho, std::ios::binary);
    if (erro || !*arquivo) return Recusa(resposta, 500, "arquivo ilegível");
    if (tamanho == 0) return resposta.set_content("", kTipoArquivo);
    resposta.set_content_provider(
        static_cast<size_t>(tamanho), kTipoArquivo,
        [arquivo](size_t inicio, size_t quantidade, httplib::DataSink& destino) {
          std::vector<char> bloco(std::min(quantidade, kBloco));
          arquivo->seekg(static_cast<std::streamoff>(inicio));
          arquivo->read(bloco.data(), static_cast<std::streamsize>(bloco.size()));
          const std::streamsize lidos = arquivo->gcount();
          return lidos > 0 && destino.write(bloco.data(), static_cast<size_t>(lidos));
        });
  });

  http_->set_error_handler([](const httplib::Request&, httplib::Response& resposta) {
    if (!resposta.body.empty()) return;
    Recusa(resposta, resposta.status,
           resposta.status == 404 ? "caminho desconhecido" : "pedido recusado");
  });

  http_->set_exception_handler(
      [](const httplib::Request&, httplib::Response& resposta, std::exception_ptr falha) {
        std::string motivo = "erro interno";
        try {
          std::rethrow_exception(falha);
        } catch (const std::exception& excecao) {
          motivo += ": " + std::string(excecao.what());
        } catch (...) {
        }
        Recusa(resposta, 500, motivo);
      });

  http_->set_logger([this](const httplib::Request& pedido, const httplib::Response& resposta) {
    std::string linha = pedido.remote_addr + " \"" + pedido.method + " " + pedido.target + "\" " +
                        std::to_string(resposta.status);
    if (!nota.empty()) linha += " " + nota;
    nota.clear();
    registro_(EscapaControles(linha));
  });
}

}  // namespace tarvik::referencia

namespace tarvik::referencia {

bool ServidorReferencia::Autorizado(const httplib::Request& pedido,
                                    httplib::Response& resposta) const {
  Reservada(resposta);
  if (!acesso_) {
    Recusa(resposta, 403, "painel fechado: o servidor não tem senha de operador");
    return false;
  }
  if (acesso_->SessaoValida(ValorCookie(pedido.get_header_value("Cookie"), kCookieSessao),
                            std::time(nullptr))) {
    return true;
  }
  resposta.status = 401;
  resposta.set_content(PaginaEntrada(""), kTipoHtml);
  nota = "sem sessão";
  return false;
}

void ServidorReferencia::RotasPainel() {
  const auto consultaDe = [](const httplib::Request& pedido) {
    const size_t interrogacao = pedido.target.find('?');
    return interrogacao == std::string::npos
               ? std::string_view()
               : std::string_view(pedido.target).substr(interrogacao + 1);
  };

  http_->Get(kCaminhoPainel, [this, consultaDe](const httplib::Request& pedido,
                                                httplib::Response& resposta) {
    if (!Autorizado(pedido, resposta)) return;
    const FiltroPainel filtro = InterpretaFiltro(consultaDe(pedido));
    if (!filtro.motivo.empty()) return Recusa(resposta, 400, filtro.motivo);
    resposta.set_content(PaginaPainel(ResumePainel(banco_->Lista(), filtro), filtro), kTipoHtml);
  });

  http_->Get(kCaminhoRelatorios,
             [this](const httplib::Request& pedido, httplib::Response& resposta) {
               if (!Autorizado(pedido, resposta)) return;
               resposta.set_content(FormataRelatorios(banco_->Lista()), kTipoTexto);
             });

  http_->Get(kCaminhoEntrada, [](const httplib::Request&, httplib::Response& resposta) {
    Reservada(resposta);
    resposta.set_content(PaginaEntrada(""), kTipoHtml);
  });

  const std::string seguro = configuracao_.certificado.empty() ? "" : "; Secure";
  http_->Post(kCaminhoEntrada, [this, seguro](const httplib::Request& pedido,
                                              httplib::Response& resposta) {
    Reservada(resposta);
    if (!acesso_)
      return Recusa(resposta, 403, "painel fechado: o servidor não tem senha de operador");
    if (!pedido.get_header_value("Content-Type").starts_with("application/x-www-form-urlencoded") ||
        pedido.get_param_value_count("senha") != 1) {
      return Recusa(resposta, 400, "formulário de entrada sem a senha");
    }
    if (!acesso_->ConfereSenha(pedido.get_param_value("senha"))) {
      resposta.status = 401;
      resposta.set_content(PaginaEntrada("Senha errada."), kTipoHtml);
      nota = "senha errada";
      return;
    }
    resposta.set_header("Set-Cookie",
                        std::string(kCookieSessao) + "=" + acesso_->NovaSessao(std::time(nullptr)) +
                            "; Path=/painel; Max-Age=" + std::to_string(kDuracaoSessao) +
                            "; HttpOnly; SameSite=Lax" + seguro);
    resposta.set_redirect(kCaminhoPainel, 303);
    nota = "operador entrou";
  });

  http_->Post(kCaminhoSaida, [seguro](const httplib::Request&, httplib::Response& resposta) {
    Reservada(resposta);
    resposta.set_header(
        "Set-Cookie",
        std::string(kCookieSessao) + "=; Path=/painel; Max-Age=0; HttpOnly; SameSite=Lax" + seguro);
    resposta.set_redirect(kCaminhoEntrada, 303);
  });
}

}  // namespace tarvik::referencia
