#include <windows.h>

#include <stdexcept>
#include <utility>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "support/processo.h"

namespace tarvik::teste {
namespace {

using platform::FromWide;
using platform::ToWide;
using platform::UniqueHandle;

// The current environment with `ambiente` applied, as CreateProcessW takes
// it; names compare without case, as Windows does.
std::wstring BlocoAmbiente(const std::vector<std::pair<std::string, std::string>>& ambiente) {
  std::vector<std::string> atuais;
  wchar_t* const atual = ::GetEnvironmentStringsW();
  for (const wchar_t* v = atual; *v; v += wcslen(v) + 1) atuais.push_back(FromWide(v));
  ::FreeEnvironmentStringsW(atual);
  std::wstring bloco;
  for (const auto& v : AplicaAmbiente(atuais, ambiente)) bloco.append(ToWide(v)).push_back(L'\0');
  return bloco.push_back(L'\0'), bloco;
}

// Started with `entrada`, `saida` and `erros` as its standard handles; it
// inherits every inheritable handle, and the tests make none but these.
PROCESS_INFORMATION Inicia(const std::filesystem::path& programa,
                           const std::vector<std::string>& argumentos, const wchar_t* pasta,
                           const std::wstring* ambiente, HANDLE entrada, HANDLE saida,
                           HANDLE erros) {
  // Each argument as the C runtime's parser reads it back: between quotes
  // when empty or with blanks. A quote or a final backslash would need
  // escapes, which no test needs.
  std::wstring linha = L"\"" + programa.wstring() + L"\"";
  for (const auto& argumento : argumentos) {
    if (argumento.find('"') != std::string::npos || argumento.ends_with('\\')) {
      throw std::invalid_argument("argumento não suportado: " + argumento);
    }
    const std::wstring largo = ToWide(argumento);
    const bool aspas = largo.empty() || largo.find_first_of(L" \t") != std::wstring::npos;
    linha += aspas ? L" \"" + largo + L"\"" : L" " + largo;
  }
  STARTUPINFOW inicio{};
  inicio.cb = sizeof inicio;
  inicio.dwFlags = STARTF_USESTDHANDLES;
  inicio.hStdInput = entrada;
  inicio.hStdOutput = saida;
  inicio.hStdError = erros;
  PROCESS_INFORMATION processo{};
  if (!::CreateProcessW(programa.c_str(), linha.data(), nullptr, nullptr, TRUE,
                        CREATE_UNICODE_ENVIRONMENT,
                        ambiente ? const_cast<wchar_t*>(ambiente->c_str()) : nullptr, pasta,
                        &inicio, &processo)) {
    throw std::runtime_error("não foi possível executar " + FromWide(programa.wstring()));
  }
  ::CloseHandle(processo.hThread);
  return processo;
}

UniqueHandle AbreHerdavel(const std::string& caminho, DWORD acesso, DWORD criacao) {
  SECURITY_ATTRIBUTES herdavel{sizeof herdavel, nullptr, TRUE};
  UniqueHandle arquivo(::CreateFileW(ToWide(caminho).c_str(), acesso,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     &herdavel, criacao, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!arquivo.Valid()) throw std::runtime_error("não foi possível abrir " + caminho);
  return arquivo;
}

}  // namespace

int ExecutaComArquivos(const std::filesystem::path& programa,
                       const std::vector<std::string>& argumentos,
                       const std::filesystem::path& pasta,
                       const std::vector<std::pair<std::string, std::string>>& ambiente,
                       const std::string& entrada, const std::string& saida,
                       const std::string& erros) {
  const std::wstring bloco = BlocoAmbiente(ambiente);
  const UniqueHandle in = AbreHerdavel(entrada, GENERIC_READ, OPEN_EXISTING);
  const UniqueHandle out = AbreHerdavel(saida, GENERIC_WRITE, CREATE_ALWAYS);
  const UniqueHandle err = AbreHerdavel(erros, GENERIC_WRITE, CREATE_ALWAYS);
  const UniqueHandle processo(
      Inicia(programa, argumentos, pasta.c_str(), &bloco, in.Get(), out.Get(), err.Get()).hProcess);
  DWORD codigo = 0;
  const bool terminou = ::WaitForSingleObject(processo.Get(), INFINITE) == WAIT_OBJECT_0 &&
                        ::GetExitCodeProcess(processo.Get(), &codigo);
  return terminou ? static_cast<int>(codigo) : -1;
}

// Another process holds the file open, sharing only reading, as a running
// program holds its files: the file is opened here and inherited by
// segura_arquivo, which holds it from its start and ends when its input
// closes.
ArquivoEmUso::ArquivoEmUso(const std::filesystem::path& arquivo) {
  SECURITY_ATTRIBUTES herdavel{sizeof herdavel, nullptr, TRUE};
  const UniqueHandle aberto(::CreateFileW(arquivo.c_str(), GENERIC_READ, FILE_SHARE_READ, &herdavel,
                                          OPEN_EXISTING, 0, nullptr));
  HANDLE entrada = nullptr;
  if (!aberto.Valid() || !::CreatePipe(&entrada, &libera_, &herdavel, 0)) {
    throw std::runtime_error("não foi possível abrir " + FromWide(arquivo.wstring()));
  }
  const UniqueHandle entradaFilho(entrada);
  // Only the child's end is inherited.
  ::SetHandleInformation(libera_, HANDLE_FLAG_INHERIT, 0);
  const HANDLE erros = ::GetStdHandle(STD_ERROR_HANDLE);
  try {
    processo_ =
        Inicia(PastaBinarios() / "segura_arquivo.exe", {}, nullptr, nullptr, entrada, erros, erros)
            .hProcess;
  } catch (...) {
    ::CloseHandle(libera_);
    throw;
  }
}

ArquivoEmUso::~ArquivoEmUso() {
  ::CloseHandle(libera_);
  ::WaitForSingleObject(processo_, INFINITE);
  ::CloseHandle(processo_);
}

}  // namespace tarvik::teste
