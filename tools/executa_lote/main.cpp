// executa-lote BATCHFILE: runs the restart batch that the updater writes,
// in place of the Windows command interpreter. It understands exactly the
// lines the updater writes and refuses a batch with any other line before
// running anything, so that a half-understood batch never half-runs.

#include <cstdio>
#include <string>
#include <vector>

#include "aguarda_processo.h"
#include "base/cp1252.h"
#include "base/erro.h"
#include "comando_lote.h"
#include "platform/files.h"
#include "platform/process.h"
#include "server/lote_reinicio.h"

namespace tarvik::lote {
namespace {

constexpr char kPrograma[] = "executa-lote";

void Mensagem(const std::string& texto) {
  std::fprintf(stderr, "%s: %s\n", kPrograma, texto.c_str());
}

// The folder of the batch, where the program to restart lies.
std::string PastaDe(const std::string& caminho) {
  const size_t separador = caminho.find_last_of("/\\");
  return separador == std::string::npos ? "." : caminho.substr(0, separador);
}

// del /f also deletes a read-only file.
void Remove(const std::string& caminho) {
  const uint32_t atributos = platform::GetAttributes(caminho);
  if (atributos & platform::kAttributeReadOnly) {
    platform::SetAttributes(caminho, atributos & ~platform::kAttributeReadOnly);
  }
  platform::RemoveFile(caminho);
}

// Started without waiting, as start does; the program is looked for in the
// batch's folder, whatever its letter case there.
void Inicia(const std::string& pasta, const std::string& argumentos) {
  const std::string programa =
      platform::NativePath(pasta + "\\" + std::string(texto_lote::kPrograma));
  platform::StartProgram("\"" + programa + "\" " + argumentos);
}

void Executa(const ComandoLote& comando, const std::string& pasta) {
  switch (comando.tipo) {
    case ComandoLote::Tipo::kAguarda:
      AguardaFimProcesso(comando.processo);
      break;
    case ComandoLote::Tipo::kCopia:
      platform::CopyFileReplacing(comando.origem, comando.destino);
      break;
    case ComandoLote::Tipo::kRemove:
      Remove(comando.origem);
      break;
    case ComandoLote::Tipo::kInicia:
      Inicia(pasta, comando.argumentos);
      break;
  }
}

int Principal(int argc, char** argv) {
  if (argc != 2) {
    Mensagem("uso: executa-lote ARQUIVO.bat");
    return 2;
  }
  const std::string lote = argv[1];
  std::vector<ComandoLote> comandos;
  try {
    comandos = InterpretaLote(DeCp1252(platform::ReadBytes(lote)));
  } catch (const Erro& erro) {
    Mensagem("não foi possível ler o lote: " + erro.Descricao());
    return 2;
  } catch (const LinhaDesconhecida& erro) {
    Mensagem(std::string(erro.what()) + "; nada foi executado");
    return 2;
  }
  // A failing command is reported and the batch goes on, as the command
  // interpreter does; the batch's last line deletes the batch.
  int status = 0;
  const std::string pasta = PastaDe(lote);
  for (const ComandoLote& comando : comandos) {
    try {
      Executa(comando, pasta);
    } catch (const Erro& erro) {
      Mensagem("falha em [" + comando.linha + "]: " + erro.Descricao() + " (" +
               std::to_string(erro.Numero()) + ")");
      status = 1;
    }
  }
  return status;
}

}  // namespace
}  // namespace tarvik::lote

int main(int argc, char** argv) { return tarvik::lote::Principal(argc, argv); }
