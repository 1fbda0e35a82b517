// carga_servidor: sends one request over and over through several
// keep-alive connections at once, spread over one or more servers as a load
// balancer would, for a bounded time and count, and prints the requests per
// second and the latency percentiles.
//
// uso: carga_servidor NOME CAMINHO CONEXOES SEGUNDOS MAXIMO URL...

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Relogio = std::chrono::steady_clock;

double Percentil(const std::vector<double>& ordenados, double fracao) {
  if (ordenados.empty()) return 0;
  const auto indice = static_cast<size_t>(fracao * static_cast<double>(ordenados.size() - 1));
  return ordenados[indice];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 7) {
    std::fputs("uso: carga_servidor NOME CAMINHO CONEXOES SEGUNDOS MAXIMO URL...\n", stderr);
    return 2;
  }
  const std::string nome = argv[1], caminho = argv[2];
  const int conexoes = std::atoi(argv[3]);
  const auto prazo = std::chrono::duration<double>(std::atof(argv[4]));
  const long maximo = std::atol(argv[5]);
  const std::vector<std::string> urls(argv + 6, argv + argc);

  std::atomic<long> enviados = 0, erros = 0;
  std::mutex mutex;
  std::vector<double> latencias;  // milliseconds
  const auto inicio = Relogio::now();
  std::vector<std::thread> clientes;
  for (int c = 0; c < conexoes; ++c) {
    clientes.emplace_back([&, c] {
      httplib::Client cliente(urls[static_cast<size_t>(c) % urls.size()]);
      cliente.set_keep_alive(true);
      cliente.set_tcp_nodelay(true);
      std::vector<double> minhas;
      while (Relogio::now() - inicio < prazo && enviados++ < maximo) {
        const auto antes = Relogio::now();
        const auto resposta = cliente.Get(caminho);
        const auto depois = Relogio::now();
        if (!resposta || resposta->status != 200) ++erros;
        minhas.push_back(std::chrono::duration<double, std::milli>(depois - antes).count());
      }
      std::lock_guard trava(mutex);
      latencias.insert(latencias.end(), minhas.begin(), minhas.end());
    });
  }
  for (std::thread& cliente : clientes) cliente.join();
  const double segundos = std::chrono::duration<double>(Relogio::now() - inicio).count();
  std::sort(latencias.begin(), latencias.end());
  std::printf(
      "%-34s %7zu pedidos em %4.1f s: %8.0f pedidos/s, p50 %6.2f ms, p99 %6.2f ms, %ld erros\n",
      nome.c_str(), latencias.size(), segundos, static_cast<double>(latencias.size()) / segundos,
      Percentil(latencias, 0.50), Percentil(latencias, 0.99), erros.load());
  return erros.load() == 0 ? 0 : 1;
}
