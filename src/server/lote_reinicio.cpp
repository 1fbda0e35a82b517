#include "server/lote_reinicio.h"

#include <initializer_list>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/utilitarios.h"

namespace tarvik {
namespace {

using namespace texto_lote;

constexpr char kNomeLote[] = "\\atualiza.bat";

// Paths go between quotes, so that spaces keep them whole.
std::string Aspas(const std::string& caminho) { return "\"" + caminho + "\""; }

}  // namespace

void EscreveLoteReinicio(const std::string& pastaBase, const std::string& versaoAtual,
                         const ListaItensEmUso& itens) {
  const std::string caminho = pastaBase + kNomeLote;
  if (CriaUtilitarios()->ArquivoExiste(caminho)) platform::RemoveFile(caminho);

  std::string lote;
  const auto linha = [&lote](std::initializer_list<std::string_view> partes) {
    for (const std::string_view parte : partes) lote += parte;
    lote += kFimLinha;
  };
  linha({kEspera, Aspas(pastaBase + std::string(kBiblioteca)), kPontoEntrada,
         std::to_string(platform::CurrentProcessId())});
  for (const auto& item : itens) {
    if (item->Acao() == acao_em_uso::kCopiar) {
      linha({kCopia, Aspas(item->Origem()), " ", Aspas(item->Destino())});
    } else if (item->Acao() == acao_em_uso::kRemover) {
      linha({kRemove, Aspas(item->Origem())});
    }
  }
  linha({kInicia, " ", versaoAtual});
  linha({kRemove, Aspas(caminho)});
  platform::WriteBatch(caminho, lote);
}

}  // namespace tarvik
