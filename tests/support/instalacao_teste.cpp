#include "support/instalacao_teste.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/unique_handle.h"
#else
#include <chrono>
#include <ctime>
#endif

#include <stdexcept>

#include "platform/code_page.h"
#include "support/plataforma_teste.h"

namespace tarvik::teste {

InstalacaoTeste::InstalacaoTeste(DataHora agora) : programa_(pasta_.Texto()), relogio_(agora) {}

std::vector<std::string> InstalacaoTeste::LinhasRegistro() const {
  return LinhasDoRegistro(pasta_.Em("registro.log"));
}

std::vector<std::string> LinhasDoRegistro(const std::filesystem::path& arquivo) {
  std::string texto = platform::FromAnsiCodePage(LeArquivo(arquivo));
  std::vector<std::string> linhas;
  for (size_t fim; (fim = texto.find("\r\n")) != std::string::npos; texto.erase(0, fim + 2)) {
    linhas.push_back(texto.substr(0, fim));
  }
  if (!texto.empty()) linhas.push_back(texto + "<sem CR LF>");
  return linhas;
}

std::string InstalacaoTeste::TextoRegistro() const {
  const std::string prefixo = FormataDataHoraGeral(relogio_.Now()) + " - ";
  std::string texto;
  for (const std::string& linha : LinhasRegistro()) {
    texto.append("\n").append(linha, linha.starts_with(prefixo) ? prefixo.size() : 0);
    if (linha.ends_with(' ')) texto += '|';
  }
  return Substitui(texto, pasta_.Texto(), "@") + "\n";
}

std::string Nativo(std::string esperado) {
  bool caminho = false;
  for (char& c : esperado) {
    if (c == '@') caminho = true;
    if (c == ']' || c == '|' || c == ' ' || c == ';' || c == '\n') caminho = false;
    if (caminho && c == '/') c = kSeparador;
  }
  return esperado;
}

std::string Substitui(std::string texto, const std::string& de, const std::string& por) {
  for (size_t i = 0; (i = texto.find(de, i)) != std::string::npos; i += por.size()) {
    texto.replace(i, de.size(), por);
  }
  return texto;
}

void DefineDataModificacao(const std::string& caminho, const DataHora& quando) {
#ifdef _WIN32
  // Through the system, which converts local time as the product reads it
  // back, and which sets a folder's time too (the C runtime's cannot).
  const auto w = [](int valor) { return static_cast<WORD>(valor); };
  const SYSTEMTIME local{w(quando.ano),    w(quando.mes),     0, w(quando.dia), w(quando.hora),
                         w(quando.minuto), w(quando.segundo), 0};
  SYSTEMTIME universal{};
  FILETIME momento{};
  const platform::UniqueHandle arquivo(
      ::CreateFileW(std::filesystem::path(caminho).c_str(), FILE_WRITE_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const bool feito = arquivo.Valid() &&
                     ::TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal) &&
                     ::SystemTimeToFileTime(&universal, &momento) &&
                     ::SetFileTime(arquivo.Get(), nullptr, nullptr, &momento);
  if (!feito) throw std::runtime_error("não foi possível datar " + caminho);
#else
  std::tm local{};
  local.tm_year = quando.ano - 1900;
  local.tm_mon = quando.mes - 1;
  local.tm_mday = quando.dia;
  local.tm_hour = quando.hora;
  local.tm_min = quando.minuto;
  local.tm_sec = quando.segundo;
  local.tm_isdst = -1;
  std::filesystem::last_write_time(
      caminho, std::chrono::file_clock::from_sys(
                   std::chrono::system_clock::from_time_t(std::mktime(&local))));
#endif
}

}  // namespace tarvik::teste
