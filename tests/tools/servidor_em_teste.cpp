#include "tools/servidor_em_teste.h"

#include <utility>

namespace tarvik::teste {

ServidorEmTeste::ServidorEmTeste(referencia::ConfiguracaoServidor configuracao)
    : servidor_(
          std::move(configuracao),
          [this](const std::string& linha) {
            std::lock_guard trava(mutex_);
            linhas_.push_back(linha);
          },
          [] { return std::string(kAgoraServidor); }) {
  servidor_.Abre();
  thread_ = std::thread([this] { servidor_.Serve(); });
}

ServidorEmTeste::~ServidorEmTeste() { Para(); }

void ServidorEmTeste::Para() {
  servidor_.Para();
  if (thread_.joinable()) thread_.join();
}

std::vector<std::string> ServidorEmTeste::Registro() {
  std::lock_guard trava(mutex_);
  return linhas_;
}

}  // namespace tarvik::teste
