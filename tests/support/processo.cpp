#include "support/processo.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "support/pasta_temporaria.h"

namespace tarvik::teste {

bool Aguarda(const std::function<bool()>& condicao) {
  for (int i = 0; i < 1000 && !condicao(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condicao();
}

ResultadoProcesso Executa(const std::filesystem::path& programa,
                          const std::vector<std::string>& argumentos,
                          const std::filesystem::path& pasta,
                          const std::vector<std::pair<std::string, std::string>>& ambiente,
                          const std::string& entrada) {
  // Output goes to files, not pipes: programs that the child starts without
  // waiting would keep a pipe open after the child ended.
  PastaTemporaria capturas;
  const std::string saida = capturas.Em("saida"), erros = capturas.Em("erros");
  EscreveArquivo(capturas.Em("entrada"), entrada);
  const int status = ExecutaComArquivos(programa, argumentos, pasta, ambiente,
                                        capturas.Em("entrada"), saida, erros);
  return {status, LeArquivo(saida), LeArquivo(erros)};
}

std::vector<std::string> AplicaAmbiente(
    std::vector<std::string> atuais,
    const std::vector<std::pair<std::string, std::string>>& ambiente) {
  std::erase_if(atuais, [&](const std::string& variavel) {
    return std::ranges::any_of(ambiente, [&](const auto& v) {
      const std::string prefixo = v.first + "=";
#ifdef _WIN32
      // Windows compares the names without case.
      return _strnicmp(variavel.c_str(), prefixo.c_str(), prefixo.size()) == 0;
#else
      return variavel.starts_with(prefixo);
#endif
    });
  });
  for (const auto& [nome, valor] : ambiente) {
    if (!valor.empty()) atuais.push_back(nome + "=" + valor);
  }
  return atuais;
}

std::filesystem::path PastaBinarios() { return TARVIK_BIN_DIR; }

}  // namespace tarvik::teste
