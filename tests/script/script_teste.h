#ifndef TARVIK_TESTS_SCRIPT_SCRIPT_TESTE_H_
#define TARVIK_TESTS_SCRIPT_SCRIPT_TESTE_H_

#include <map>
#include <utility>
#include <vector>

#include "descriptor/recupera_dados_atualizacao.h"
#include "platform/utilitarios.h"
#include "script/script_atualizacao.h"
#include "support/servidor_local.h"
#include "tasks/tarefa_teste.h"
#include "ui/interface_debug.h"

namespace tarvik::teste {

// One entry of the sequence section of a descriptor.
struct EntradaDescritor {
  std::string acao;
  std::string caminho{};  // URL of a file, name of a folder
  std::string destino = "$base$\\";
  std::string conteudo{};  // what the descriptor says the file holds
  bool atualizador = false;
};

// A script run in a fresh installation folder with a fixed clock, files
// published by a local HTTP server, and the window-less display.
class ScriptTeste : public TarefaTeste {
 protected:
  ScriptTeste() { servidor_.Inicia(); }

  // The URL where the server publishes `conteudo` under `nome`.
  std::string Publica(const std::string& nome, const std::string& conteudo) {
    return servidor_.Publica(nome, conteudo);
  }

  // The hash of `conteudo`, which the log then shows as "#" + `conteudo`.
  std::string Hash(const std::string& conteudo) {
    PastaTemporaria pasta;
    EscreveArquivo(pasta.Em("h"), conteudo);
    const std::string hash = CriaUtilitarios()->CalculaHash(pasta.Em("h"));
    hashes_[hash] = "#" + conteudo;
    return hash;
  }

  // A descriptor of new version 2.0 with `entradas` in index order and
  // `originais` (name, content) as the installed files it expects.
  std::string Descritor(const std::vector<EntradaDescritor>& entradas,
                        bool atualizarAtualizador = false,
                        const std::vector<std::pair<std::string, std::string>>& originais = {}) {
    std::string texto = "[sequenciaAtualizacao]\nitens=" + std::to_string(entradas.size()) +
                        "\natualizar=true\nversao=2.0\natualizar_atualizador=" +
                        (atualizarAtualizador ? "true" : "false") + "\n";
    for (size_t i = 0; i < entradas.size(); ++i) {
      const auto& e = entradas[i];
      const std::string n = std::to_string(i + 1);
      texto += "acao_" + n + "=" + e.acao + "\ncaminho_" + n + "=" + e.caminho + "\ndestino_" + n +
               "=" + e.destino + "\n";
      if (e.acao.find("Pasta") != std::string::npos) continue;
      texto += "tamanho_" + n + "=" + std::to_string(e.conteudo.size()) + "\nhash_" + n + "=" +
               Hash(e.conteudo) + "\nauthenticode_" + n + "=false\narquivo_atualizador_" + n + "=" +
               (e.atualizador ? "true" : "false") + "\n";
    }
    texto += "[arquivosOriginais]\nversao=1.0\nitens=" + std::to_string(originais.size()) + "\n";
    for (size_t i = 0; i < originais.size(); ++i) {
      const std::string n = std::to_string(i + 1);
      texto += "caminho_" + n + "=http://servidor/1.0/" + originais[i].first + "\ntamanho_" + n +
               "=" + std::to_string(originais[i].second.size()) + "\nhash_" + n + "=" +
               Hash(originais[i].second) + "\nauthenticode_" + n + "=false\n";
    }
    return texto;
  }

  Resultado Processa(const std::string& descritor, bool falhaComArquivosEmUso = true) {
    return script_.Processa(instalacao_.Pasta().Texto(), "1.0", RecuperaDadosAtualizacao(descritor),
                            falhaComArquivosEmUso, interface_);
  }

  // The whole log, with the server written "<servidor>" and the hashes as
  // `Hash` names them.
  std::string Registro() const {
    std::string texto = RegistroCompleto();
    texto = Substitui(texto, servidor_.Url(""), "<servidor>");
    for (const auto& [hash, nome] : hashes_) texto = Substitui(texto, hash, nome);
    return texto;
  }
  // The names of the tasks in the order they were undone, and those that
  // `padrao` finds.
  std::vector<std::string> Desfeitas() const { return Nomes("Desfazendo tarefa: \\[(\\w+)\\]"); }
  std::vector<std::string> Nomes(const std::string& padrao) const {
    const std::string texto = Registro();
    std::vector<std::string> nomes;
    const std::regex expressao("\nINFO - " + padrao);
    for (std::sregex_iterator i(texto.begin(), texto.end(), expressao), fim; i != fim; ++i) {
      nomes.push_back((*i)[1]);
    }
    return nomes;
  }

  InterfaceDebug interface_;
  ScriptAtualizacao script_;

 private:
  ServidorLocal servidor_;
  std::map<std::string, std::string> hashes_;
};

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SCRIPT_SCRIPT_TESTE_H_
