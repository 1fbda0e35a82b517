#include "support/servidor_local.h"

#include <chrono>
#include <stdexcept>
#include <utility>

namespace tarvik::teste {

ServidorLocal::ServidorLocal() {
  // The client keeps a connection open after the request, which would hold
  // the server's stop until the keep-alive time runs out: one request per
  // connection.
  servidor_.set_keep_alive_max_count(1);
  // Recorded before the handler runs, so that a request is in the list by the
  // time its answer reaches the client.
  servidor_.set_pre_routing_handler([this](const httplib::Request& pedido, httplib::Response&) {
    std::unique_lock trava(mutex_);
    std::string alvo = pedido.path;
    // The raw query, as the client sent it.
    if (const auto interrogacao = pedido.target.find('?'); interrogacao != std::string::npos) {
      alvo += pedido.target.substr(interrogacao);
    }
    pedidos_.push_back(alvo);
    ultimosCabecalhos_ = pedido.headers;
    const auto acao = aoPedido_;
    trava.unlock();
    if (acao) acao(alvo);
    return httplib::Server::HandlerResponse::Unhandled;
  });
  servidor_.Get(R"(/arquivos/(.+))",
                [this](const httplib::Request& pedido, httplib::Response& resposta) {
                  std::lock_guard trava(mutex_);
                  const auto achado = publicados_.find(pedido.matches[1]);
                  if (achado == publicados_.end()) {
                    resposta.status = 404;
                    return;
                  }
                  resposta.set_content(achado->second, "application/octet-stream");
                });
}

std::string ServidorLocal::Publica(const std::string& nome, const std::string& conteudo) {
  std::lock_guard trava(mutex_);
  publicados_[nome] = conteudo;
  return Url("/arquivos/" + nome);
}

void ServidorLocal::ServeEmBlocos(const std::string& caminho, size_t bloco,
                                  std::chrono::milliseconds pausa, size_t total) {
  const auto corpo = [this, bloco, pausa, total](size_t enviados, httplib::DataSink& sink) {
    if (enviados >= total || encerrando_) {
      sink.done();
      return true;
    }
    std::this_thread::sleep_for(pausa);
    const std::string dados(bloco, 'c');
    return sink.write(dados.data(), dados.size());
  };
  servidor_.Get(caminho, [corpo](const httplib::Request&, httplib::Response& resposta) {
    resposta.set_chunked_content_provider("application/octet-stream", corpo);
  });
}

ServidorLocal::~ServidorLocal() {
  // A body still being served ends, so that the stop need not wait for it.
  encerrando_ = true;
  servidor_.stop();
  if (thread_.joinable()) thread_.join();
}

void ServidorLocal::Inicia() {
  porta_ = servidor_.bind_to_any_port("127.0.0.1");
  if (porta_ <= 0) throw std::runtime_error("não foi possível abrir a porta do servidor");
  thread_ = std::thread([this] { servidor_.listen_after_bind(); });
  // Until the thread runs its loop, stop() would find nothing to stop and the
  // join would wait for ever.
  while (!servidor_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::string ServidorLocal::Url(const std::string& caminho) const {
  return "http://127.0.0.1:" + std::to_string(porta_) + caminho;
}

std::vector<std::string> ServidorLocal::Pedidos() const {
  std::lock_guard trava(mutex_);
  return pedidos_;
}

void ServidorLocal::AoPedido(std::function<void(const std::string&)> acao) {
  std::lock_guard trava(mutex_);
  aoPedido_ = std::move(acao);
}

std::string ServidorLocal::UltimoCabecalho(const std::string& nome) const {
  std::lock_guard trava(mutex_);
  const auto achado = ultimosCabecalhos_.find(nome);
  return achado == ultimosCabecalhos_.end() ? std::string() : achado->second;
}

}  // namespace tarvik::teste
