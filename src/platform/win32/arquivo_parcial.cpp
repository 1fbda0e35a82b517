#include "platform/win32/arquivo_parcial.h"

#include <windows.h>

#include "platform/win32/arquivo_novo.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/wide_text.h"

namespace tarvik::platform {

ArquivoParcial::ArquivoParcial(const std::string& destino, const std::string& origem)
    : destino_(destino), origem_(origem) {
  ArquivoNovo arquivo = CriaArquivoNovo(destino + ".parcial-", origem, destino);
  nome_ = std::move(arquivo.nome);
  handle_ = std::move(arquivo.handle);
}

ArquivoParcial::~ArquivoParcial() {
  if (substituiu_) return;
  handle_.Close();
  ::DeleteFileW(ToWide(nome_).c_str());
}

void ArquivoParcial::Escreve(const char* dados, uint32_t tamanho) {
  while (tamanho > 0) {
    DWORD escritos = 0;
    if (!::WriteFile(handle_.Get(), dados, tamanho, &escritos, nullptr)) {
      throw ErroDeWin32EmArquivo(::GetLastError(), origem_, destino_);
    }
    dados += escritos;
    tamanho -= escritos;
  }
}

void ArquivoParcial::Substitui() {
  // No flush: a received file is verified (size, hash) before any use, and
  // the copy that installs it is flushed.
  handle_.Close();
  if (!::MoveFileExW(ToWide(nome_).c_str(), ToWide(destino_).c_str(),
                     MOVEFILE_REPLACE_EXISTING)) {
    throw ErroDeWin32EmArquivo(::GetLastError(), origem_, destino_);
  }
  substituiu_ = true;
}

}  // namespace tarvik::platform
