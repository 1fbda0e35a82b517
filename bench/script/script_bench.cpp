// Measures the update script on a local server:
//   tarvik_script_bench servidor PASTA ARQUIVO_PORTA
//       serves the files of PASTA on 127.0.0.1 and writes the port to
//       ARQUIVO_PORTA; runs until killed.
//   tarvik_script_bench baixa URL DESTINO
//       runs one BaixarArquivo task and prints "segundos <s> pico_kib <kib>".
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
#include <fstream>
#include <sstream>
#include <string>

#include "descriptor/recupera_dados_atualizacao.h"
#include "platform/process.h"
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
  const std::string modo = argc == 4 ? argv[1] : "";
  if (modo == "servidor") return Servidor(argv[2], argv[3]);
  if (modo == "baixa") return Baixa(argv[2], argv[3]);
  if (modo == "atualiza") return Atualiza(argv[2], argv[3]);
  std::fprintf(stderr, "uso: %s servidor|baixa|atualiza ...\n", argv[0]);
  return 2;
}
