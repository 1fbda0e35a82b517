#ifndef TARVIK_TESTS_TOOLS_SERVIDOR_EM_TESTE_H_
#define TARVIK_TESTS_TOOLS_SERVIDOR_EM_TESTE_H_

#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "servidor_referencia/servidor_referencia.h"

namespace tarvik::teste {

// A reference server on 127.0.0.1 and a free port, serving in its own
// thread until `Para` or the end of the object; the reports it stores are
// received at 2026-12-04 07:29:03.
class ServidorEmTeste {
 public:
  explicit ServidorEmTeste(referencia::ConfiguracaoServidor configuracao)
      : servidor_(
            std::move(configuracao),
            [this](const std::string& linha) {
              std::lock_guard trava(mutex_);
              linhas_.push_back(linha);
            },
            [] { return std::string("2026-12-04 07:29:03"); }) {
    servidor_.Abre();
    thread_ = std::thread([this] { servidor_.Serve(); });
  }
  ~ServidorEmTeste() { Para(); }

  std::string Url() const { return servidor_.Url(); }
  // Stops the server; every request answered so far then has its log line.
  void Para() {
    servidor_.Para();
    if (thread_.joinable()) thread_.join();
  }
  // The log lines so far.
  std::vector<std::string> Registro() {
    std::lock_guard trava(mutex_);
    return linhas_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> linhas_;
  referencia::ServidorReferencia servidor_;
  std::thread thread_;
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_TOOLS_SERVIDOR_EM_TESTE_H_
