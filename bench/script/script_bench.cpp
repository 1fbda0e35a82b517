// Measures the update script on a local server:
//   tarvik_script_bench servidor PASTA ARQUIVO_PORTA
//       serves the files of PASTA on 127.0.0.1 and writes the port to
//       ARQUIVO_PORTA; runs until killed.
//   tarvik_script_bench baixa URL DESTINO
//       runs one BaixarArquivo task and prints "segundos <s> pico_kib <kib>".
//   tarvik_script_bench prepara PASTA QUANTIDADE URL
//       writes QUANTIDADE files of 1 KiB to PASTA/servidor/pequenos, older
//       versions of them to PASTA/app, and PASTA/descritor.txt, the
//       descriptor that replaces them with the files served at
//       URL/pequenos/.
//   tarvik_script_bench atualiza PASTA_BASE DESCRITOR
//       applies the descriptor's update to PASTA_BASE and prints
//       "segundos <s> resultado <code>".
// The log goes to the folder of the file written (the base folder).

#include <fcntl.h>
#include <httplib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "descriptor/recupera_dados_atualizacao.h"
#include "platform/process.h"
#include "platform/utilitarios.h"
#include "script/script_atualizacao.h"
#include "tasks/contexto_execucao.h"
#include "tasks/tarefa.h"
#include "ui/interface_debug.h"

namespace {

constexpr size_t kBloco = 1 << 20;

double Segundos(std::chrono::steady_clock::time_point inicio) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
}

int Servidor(const std::string& pasta, const std::string& arquivoPorta) {
  httplib::Server servidor;
  // One connection serves a whole update, as a production server's does;
  // without Nagle's wait, a header and a body written apart do not wait
  // for the client's delayed acknowledgement.
  servidor.set_keep_alive_max_count(1000000);
  servidor.set_tcp_nodelay(true);
  servidor.Get(R"(/(.+))", [&pasta](const httplib::Request& pedido, httplib::Response& resposta) {
    const std::string caminho = pasta + "/" + pedido.matches[1].str();
    const int fd = ::open(caminho.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
      if (fd >= 0) ::close(fd);
      resposta.status = 404;
      return;
    }
    // Streamed in large blocks, so that the server is not what limits the
    // client.
    resposta.set_content_provider(
        static_cast<size_t>(info.st_size), "application/octet-stream",
        [fd](size_t deslocamento, size_t tamanho, httplib::DataSink& saida) {
          static thread_local std::string bloco(kBloco, '\0');
          const ssize_t lidos = ::pread(fd, bloco.data(), std::min(tamanho, kBloco),
                                        static_cast<off_t>(deslocamento));
          return lidos > 0 && saida.write(bloco.data(), static_cast<size_t>(lidos));
        },
        [fd](bool) { ::close(fd); });
  });
  const int porta = servidor.bind_to_any_port("127.0.0.1");
  std::ofstream(arquivoPorta + ".tmp") << porta;
  std::rename((arquivoPorta + ".tmp").c_str(), arquivoPorta.c_str());
  return servidor.listen_after_bind() ? 0 : 1;
}

std::string PastaDe(const std::string& caminho) {
  return caminho.substr(0, caminho.find_last_of('/'));
}

int Baixa(const std::string& url, const std::string& destino) {
  tarvik::platform::ScopedTestProgramFolder registro(PastaDe(destino));
  tarvik::Tarefa tarefa;
  tarefa.AdicionaDetalhe(url);
  tarefa.AdicionaDetalhe(destino);
  tarvik::ContextoExecucao contexto;
  const auto inicio = std::chrono::steady_clock::now();
  const tarvik::Resultado resultado = tarefa.Executa(contexto, true);
  const double segundos = Segundos(inicio);
  rusage uso{};
  ::getrusage(RUSAGE_SELF, &uso);
  std::printf("segundos %.3f pico_kib %ld\n", segundos, uso.ru_maxrss);
  return static_cast<int>(resultado);
}

int Prepara(const std::string& pasta, const std::string& quantidadeTexto, const std::string& url) {
  const int quantidade = std::stoi(quantidadeTexto);
  const std::filesystem::path servidor = std::filesystem::path(pasta) / "servidor" / "pequenos";
  const std::filesystem::path aplicacao = std::filesystem::path(pasta) / "app";
  std::filesystem::create_directories(servidor);
  std::filesystem::create_directories(aplicacao);
  const std::unique_ptr<tarvik::Utilitarios> utilitarios = tarvik::CriaUtilitarios();
  std::mt19937_64 aleatorio(20240601);
  std::ostringstream descritor;
  descritor << "[sequenciaAtualizacao]\r\nitens=" << quantidade
            << "\r\natualizar=true\r\nversao=2.0\r\natualizar_atualizador=false\r\n";
  std::string conteudo(1024, '\0');
  for (int n = 1; n <= quantidade; ++n) {
    const std::string nome = "arquivo_" + std::to_string(n) + ".dat";
    for (char& c : conteudo) c = static_cast<char>(aleatorio());
    std::ofstream(servidor / nome, std::ios::binary) << conteudo;
    std::ofstream(aplicacao / nome, std::ios::binary) << "velho " << n;
    const std::string hash = utilitarios->CalculaHash((servidor / nome).string());
    const std::string i = std::to_string(n);
    descritor << "acao_" << i << "=SubstituirArquivo\r\ncaminho_" << i << "=" << url << "/pequenos/"
              << nome << "\r\ndestino_" << i << "=$base$\\\r\ntamanho_" << i << "=1024\r\nhash_"
              << i << "=" << hash << "\r\nauthenticode_" << i << "=false\r\narquivo_atualizador_"
              << i << "=false\r\n";
  }
  descritor << "[arquivosOriginais]\r\nversao=1.0\r\nitens=0\r\n";
  std::ofstream(std::filesystem::path(pasta) / "descritor.txt", std::ios::binary)
      << descritor.str();
  return 0;
}

int Atualiza(const std::string& pastaBase, const std::string& arquivoDescritor) {
  tarvik::platform::ScopedTestProgramFolder registro(pastaBase);
  std::stringstream texto;
  texto << std::ifstream(arquivoDescritor, std::ios::binary).rdbuf();
  const tarvik::DadosAtualizacao dados = tarvik::RecuperaDadosAtualizacao(texto.str());
  tarvik::InterfaceDebug visual;
  tarvik::ScriptAtualizacao script;
  const auto inicio = std::chrono::steady_clock::now();
  const tarvik::Resultado resultado = script.Processa(pastaBase, "1.0", dados, true, visual);
  std::printf("segundos %.3f resultado %s\n", Segundos(inicio),
              tarvik::NomeResultado(resultado).c_str());
  return static_cast<int>(resultado);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string modo = argc >= 4 ? argv[1] : "";
  if (modo == "servidor" && argc == 4) return Servidor(argv[2], argv[3]);
  if (modo == "baixa" && argc == 4) return Baixa(argv[2], argv[3]);
  if (modo == "prepara" && argc == 5) return Prepara(argv[2], argv[3], argv[4]);
  if (modo == "atualiza" && argc == 4) return Atualiza(argv[2], argv[3]);
  std::fprintf(stderr, "uso: %s servidor|baixa|prepara|atualiza ...\n", argv[0]);
  return 2;
}
