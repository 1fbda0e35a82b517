#ifndef TARVIK_TESTS_SUPPORT_SERVIDOR_LOCAL_H_
#define TARVIK_TESTS_SUPPORT_SERVIDOR_LOCAL_H_

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarvik::teste {

// An HTTP server on 127.0.0.1 and a free port, running in its own thread
// for the life of the object. Register handlers on `Http()` before
// `Inicia()`. Every request's path and query is recorded in order.
class ServidorLocal {
 public:
  ServidorLocal();
  ~ServidorLocal();
  ServidorLocal(const ServidorLocal&) = delete;
  ServidorLocal& operator=(const ServidorLocal&) = delete;

  httplib::Server& Http() { return servidor_; }
  void Inicia();

  // "http://127.0.0.1:<port>" followed by `caminho`.
  std::string Url(const std::string& caminho) const;

  // Serves `conteudo` at /arquivos/<nome> from now on (404 for names never
  // published) and returns its URL.
  std::string Publica(const std::string& nome, const std::string& conteudo);

  // Serves at `caminho` (register before `Inicia`) a body without announced
  // length: `total` bytes 'c' in blocks of `bloco`, one every `pausa`,
  // until the client leaves or the server stops.
  void ServeEmBlocos(const std::string& caminho, size_t bloco, std::chrono::milliseconds pausa,
                     size_t total);

  // Path and query of every request received so far, in order.
  std::vector<std::string> Pedidos() const;
  // Value of a request header of the last request; empty when absent.
  std::string UltimoCabecalho(const std::string& nome) const;

  // Runs `acao` with the path and query of every request from now on, once
  // it is recorded and before it is answered: the client waits meanwhile.
  void AoPedido(std::function<void(const std::string&)> acao);

 private:
  httplib::Server servidor_;
  std::thread thread_;
  int porta_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::string> pedidos_;
  std::map<std::string, std::string> publicados_;
  httplib::Headers ultimosCabecalhos_;
  std::atomic<bool> encerrando_ = false;
  std::function<void(const std::string&)> aoPedido_;
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SUPPORT_SERVIDOR_LOCAL_H_
