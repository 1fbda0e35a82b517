// servidor_referencia: the reference update server over a catalogue that
// the publisher writes, and the listing of the result reports it stored.

#include <pthread.h>
#include <signal.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ferramenta/ferramenta.h"
#include "servidor_referencia/acesso_operador.h"
#include "servidor_referencia/banco_relatorios.h"
#include "servidor_referencia/servidor_referencia.h"

namespace tarvik::referencia {
namespace {

constexpr char kUso[] =
    "uso: servidor_referencia --catalogo PASTA --banco BANCO [--endereco IP] [--porta N]\n"
    "                         [--certificado PEM --chave PEM] [--operador ARQUIVO]\n"
    "                         [--encerra-apos SEGUNDOS]\n"
    "     servidor_referencia --lista --banco BANCO\n"
    "     servidor_referencia --gera-senha < SENHA\n"
    "\n"
    "Serve as atualizações publicadas no catálogo e grava no BANCO os relatórios\n"
    "de resultado das instalações: um arquivo SQLite, ou um banco PostgreSQL\n"
    "dado como postgresql://usuario@maquina:porta/banco. Ouve em 127.0.0.1 se\n"
    "não se der --endereco, numa porta livre se não se der --porta, e escreve\n"
    "primeiro a linha \"ouvindo em URL\". Com certificado e chave, fala HTTPS.\n"
    "Com --operador, o ARQUIVO traz a senha do operador como --gera-senha a\n"
    "escreve, e o painel em /painel mostra os relatórios a quem entrar com ela;\n"
    "fora de 127.0.0.1 o painel exige HTTPS. Para com SIGINT ou SIGTERM, ou\n"
    "sozinho depois de --encerra-apos segundos.\n"
    "--lista mostra os relatórios gravados; --gera-senha lê uma senha da\n"
    "entrada e escreve a forma guardada, com sal, para --operador.\n";

// Nothing when the options do not form one of the three documented lines.
std::optional<ferramenta::Opcoes> LeOpcoes(const std::vector<std::string>& palavras) {
  auto opcoes = ferramenta::LeOpcoes(palavras,
                                     {"--catalogo", "--banco", "--endereco", "--porta",
                                      "--certificado", "--chave", "--operador", "--encerra-apos"},
                                     {"--lista", "--gera-senha"});
  if (opcoes && opcoes->contains("--gera-senha"))
    return opcoes->size() == 1 ? opcoes : std::nullopt;
  if (!opcoes || !opcoes->contains("--banco")) return std::nullopt;
  const bool valida =
      opcoes->contains("--lista") ? opcoes->size() == 2 : opcoes->contains("--catalogo");
  return valida ? opcoes : std::nullopt;
}

std::optional<int> Numero(const ferramenta::Opcoes& opcoes, const std::string& nome, int padrao,
                          int maximo) {
  if (!opcoes.contains(nome)) return padrao;
  const std::string& texto = opcoes.at(nome);
  int valor = 0;
  const auto [fim, erro] = std::from_chars(texto.data(), texto.data() + texto.size(), valor);
  if (erro != std::errc() || fim != texto.data() + texto.size() || valor < 0 || valor > maximo) {
    return std::nullopt;
  }
  return valor;
}

void Registra(const std::string& linha) {
  const std::time_t agora = std::time(nullptr);
  std::tm partes{};
  localtime_r(&agora, &partes);
  std::array<char, 32> data{};
  std::strftime(data.data(), data.size(), "%Y-%m-%d %H:%M:%S", &partes);
  std::printf("%s %s\n", data.data(), linha.c_str());
  std::fflush(stdout);
}

int Lista(const std::string& banco) {
  std::fputs(FormataRelatorios(AbreBanco(banco, BancoRelatorios::Modo::kLeitura)->Lista()).c_str(),
             stdout);
  return 0;
}

int GeraSenha() {
  std::string senha;
  for (int c; (c = std::getchar()) != EOF && c != '\n';) senha += static_cast<char>(c);
  if (senha.empty()) throw std::runtime_error("senha vazia");
  std::printf("%s\n", ResumoSenha(senha).c_str());
  return 0;
}

// The first line of the file that holds the operator's stored password.
std::string SenhaOperador(const std::string& arquivo) {
  std::ifstream entrada(arquivo);
  std::string linha;
  if (!std::getline(entrada, linha))
    throw std::runtime_error("não foi possível ler a senha do operador em [" + arquivo + "]");
  return linha;
}

int Serve(const ferramenta::Opcoes& opcoes, int porta, int encerraApos) {
  // The signals are taken by one thread, which stops the server; the
  // server's own threads never see them.
  sigset_t sinais;
  sigemptyset(&sinais);
  sigaddset(&sinais, SIGINT);
  sigaddset(&sinais, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &sinais, nullptr);

  ConfiguracaoServidor configuracao;
  configuracao.catalogo = opcoes.at("--catalogo");
  configuracao.banco = opcoes.at("--banco");
  if (opcoes.contains("--endereco")) configuracao.endereco = opcoes.at("--endereco");
  configuracao.porta = porta;
  if (opcoes.contains("--certificado")) configuracao.certificado = opcoes.at("--certificado");
  if (opcoes.contains("--chave")) configuracao.chave = opcoes.at("--chave");
  if (opcoes.contains("--operador"))
    configuracao.senhaOperador = SenhaOperador(opcoes.at("--operador"));

  ServidorReferencia servidor(configuracao, Registra);
  servidor.Abre();
  std::printf("ouvindo em %s\n", servidor.Url().c_str());
  std::fflush(stdout);

  std::thread vigia([&] {
    if (encerraApos > 0) {
      const timespec prazo{encerraApos, 0};
      while (sigtimedwait(&sinais, nullptr, &prazo) < 0 && errno == EINTR) {
      }
    } else {
      int sinal = 0;
      sigwait(&sinais, &sinal);
    }
    servidor.Para();
  });
  servidor.Serve();
  // Serve may also end on its own; the watcher must not wait for ever.
  pthread_kill(vigia.native_handle(), SIGTERM);
  vigia.join();
  Registra("servidor parado");
  return 0;
}

int Principal(const std::vector<std::string>& palavras) {
  const auto opcoes = LeOpcoes(palavras);
  const auto porta = opcoes ? Numero(*opcoes, "--porta", 0, 65535) : std::nullopt;
  const auto encerraApos =
      opcoes ? Numero(*opcoes, "--encerra-apos", 0, 7 * 24 * 3600) : std::nullopt;
  if (!opcoes || !porta || !encerraApos) {
    std::fputs(kUso, stderr);
    return 2;
  }
  return ferramenta::Executa("servidor_referencia", [&] {
    if (opcoes->contains("--gera-senha")) return GeraSenha();
    if (opcoes->contains("--lista")) return Lista(opcoes->at("--banco"));
    return Serve(*opcoes, *porta, *encerraApos);
  });
}

}  // namespace
}  // namespace tarvik::referencia

int main(int argc, char** argv) {
  return tarvik::referencia::Principal(std::vector<std::string>(argv + 1, argv + argc));
}
