#ifndef TARVIK_TESTS_SCRIPT_SCRIPT_TESTE_H_
#define TARVIK_TESTS_SCRIPT_SCRIPT_TESTE_H_

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "descriptor/recupera_dados_atualizacao.h"
#include "platform/utilitarios.h"
#include "script/script_atualizacao.h"
#include "support/arvore_arquivos.h"
#include "support/instalacao_teste.h"
#include "support/registro_teste.h"
#include "support/servidor_local.h"
#include "tasks/tarefa_teste.h"
#include "ui/interface_debug.h"

namespace tarvik::teste {

// One entry of the sequence section of a descriptor.
struct EntradaDescritor {
  std::string acao;
  std::string caminho{};  // URL of a file, name of a folder
  std::string destino = "$base$\\";
  std::string conteudo{};  // what the server publishes for a file to receive
  bool atualizador = false;
  std::string hash{};  // empty: the hash of `conteudo`
};

// A script run in a fresh installation folder with a fixed clock, files
// published by a local HTTP server, and the window-less display.
class ScriptTeste : public ::testing::Test {
 protected:
  // The URL where the server publishes `conteudo` under `nome`.
  std::string Publica(const std::string& nome, const std::string& conteudo) {
    if (!servidor_) {
      servidor_ = std::make_unique<ServidorLocal>();
      servidor_->Inicia();
    }
    return servidor_->Publica(nome, conteudo);
  }

  static std::string Hash(const std::string& conteudo) {
    PastaTemporaria pasta;
    EscreveArquivo(pasta.Em("h"), conteudo);
    return CriaUtilitarios()->CalculaHash(pasta.Em("h"));
  }

  // A descriptor of new version 2.0 with `entradas` in index order and
  // `originais` (name, content) as the installed files it expects.
  std::string Descritor(const std::vector<EntradaDescritor>& entradas,
                        bool atualizarAtualizador = false,
                        const std::vector<std::pair<std::string, std::string>>& originais = {}) {
    std::string texto = "[sequenciaAtualizacao]\r\nitens=" + std::to_string(entradas.size()) +
                        "\r\natualizar=true\r\nversao=2.0\r\natualizar_atualizador=" +
                        (atualizarAtualizador ? "true" : "false") + "\r\n";
    for (size_t i = 0; i < entradas.size(); ++i) {
      const auto& e = entradas[i];
      const std::string n = std::to_string(i + 1);
      texto += "acao_" + n + "=" + e.acao + "\r\ncaminho_" + n + "=" + e.caminho + "\r\ndestino_" +
               n + "=" + e.destino + "\r\n";
      if (e.acao.find("Pasta") != std::string::npos) continue;
      texto += "tamanho_" + n + "=" + std::to_string(e.conteudo.size()) + "\r\nhash_" + n + "=" +
               (e.hash.empty() ? Hash(e.conteudo) : e.hash) + "\r\nauthenticode_" + n +
               "=false\r\narquivo_atualizador_" + n + "=" + (e.atualizador ? "true" : "false") +
               "\r\n";
    }
    texto +=
        "[arquivosOriginais]\r\nversao=1.0\r\nitens=" + std::to_string(originais.size()) + "\r\n";
    for (size_t i = 0; i < originais.size(); ++i) {
      const std::string n = std::to_string(i + 1);
      texto += "caminho_" + n + "=http://servidor/1.0/" + originais[i].first + "\r\ntamanho_" + n +
               "=" + std::to_string(originais[i].second.size()) + "\r\nhash_" + n + "=" +
               Hash(originais[i].second) + "\r\nauthenticode_" + n + "=false\r\n";
    }
    return texto;
  }

  Resultado Processa(const std::string& descritor, bool falhaComArquivosEmUso = true) {
    return script_.Processa(Base(), "1.0", RecuperaDadosAtualizacao(descritor),
                            falhaComArquivosEmUso, interface_);
  }

  std::string Base() const { return instalacao_.Pasta().Texto(); }
  std::string Em(const std::string& relativo) const { return instalacao_.Pasta().Em(relativo); }
  std::map<std::string, std::string> Arvore() const {
    return ArvoreArquivos(instalacao_.Pasta().Caminho());
  }

  // The log, with the names the component gives temporary files made
  // uniform ("teste??????").
  std::vector<std::string> Registro() const {
    static const std::regex kTemporario("/teste[A-Za-z0-9]{6}\\]");
    std::vector<std::string> linhas = instalacao_.LinhasRegistro();
    for (auto& linha : linhas) linha = std::regex_replace(linha, kTemporario, "/teste??????]");
    return linhas;
  }

  // The log from the first line equal to `inicio` on.
  std::vector<std::string> RegistroDesde(const std::string& inicio) const {
    auto linhas = Registro();
    auto primeira = std::find(linhas.begin(), linhas.end(), inicio);
    EXPECT_NE(primeira, linhas.end()) << inicio;
    return {primeira, linhas.end()};
  }

  InstalacaoTeste instalacao_{kMomentoRegistro};
  InterfaceDebug interface_;
  ScriptAtualizacao script_;

 private:
  // Created on first use: a server stopped before it ever listened may hang.
  std::unique_ptr<ServidorLocal> servidor_;
};

// The line that lists a task with its details.
inline std::string Listada(const std::string& nome, const Linhas& detalhes) {
  std::string linha = nome + ": ";
  for (const auto& detalhe : detalhes) linha += "[" + detalhe + "] ";
  return LinhaInfo(linha);
}

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SCRIPT_SCRIPT_TESTE_H_
