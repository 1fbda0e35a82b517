#include "server/lote_reinicio.h"

#include "platform/files.h"
#include "platform/process.h"
#include "platform/utilitarios.h"

namespace tarvik {
namespace {

constexpr char kNomeLote[] = "\\atualiza.bat";
constexpr char kFimLinha[] = "\r\n";

// Paths go between quotes, so that spaces keep them whole.
std::string Aspas(const std::string& caminho) { return "\"" + caminho + "\""; }

}  // namespace

void EscreveLoteReinicio(const std::string& pastaBase, const std::string& versaoAtual,
                         const ListaItensEmUso& itens) {
  const std::string caminho = pastaBase + kNomeLote;
  if (CriaUtilitarios()->ArquivoExiste(caminho)) platform::DeleteFile(caminho);

  std::string lote = "rundll32 " + Aspas(pastaBase + "\\atualiza.dll") + ",_fnAguarda@16 " +
                     std::to_string(platform::CurrentProcessId()) + kFimLinha;
  for (const auto& item : itens) {
    if (item->Acao() == acao_em_uso::kCopiar) {
      lote += "copy /y " + Aspas(item->Origem()) + " " + Aspas(item->Destino()) + kFimLinha;
    } else if (item->Acao() == acao_em_uso::kRemover) {
      lote += "del /f " + Aspas(item->Origem()) + kFimLinha;
    }
  }
  lote += "start tarvik.exe " + versaoAtual + kFimLinha;
  lote += "del /f " + Aspas(caminho) + kFimLinha;
  platform::WriteText(caminho, lote);
}

}  // namespace tarvik
