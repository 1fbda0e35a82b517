#include "script/script_atualizacao.h"

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/erro.h"
#include "base/texto.h"
#include "descriptor/caminhos.h"
#include "descriptor/informacao_arquivo.h"
#include "descriptor/resultado.h"
#include "log/registro.h"
#include "script/diario_atualizacao.h"
#include "tasks/contexto_execucao.h"
#include "tasks/conversao_detalhe.h"
#include "ui/mensagens_pendentes.h"

namespace tarvik {
namespace {

// Working folders, relative to the base folder.
constexpr char kPastaTemporaria[] = "temp\\";
constexpr char kPastaBackup[] = "backup\\";
// Key of the entry that heads the undo list.
constexpr char kChaveCabecaDesfazer[] = "0";

// In a self-update only the updater's own entries take part; in an update
// of the application every entry does.
bool PassaFiltro(const DadosAtualizacao& dados, const IItemSequencia& item) {
  return !dados.AtualizarAtualizador() || item.ArquivoAtualizador();
}

// Undoes the executed tasks: the head entry first, then the newest to the
// oldest. `ignoraFalhas` lets the undo that precedes an error go as far as it
// can without its own failures replacing that error. A log that cannot be
// written never stops the files from being put back; its failure travels on
// afterwards, unless an error is already on its way.
void Desfaz(const Colecao<std::shared_ptr<Tarefa>>& desfazer, IInterfaceVisual& visual,
            bool ignoraFalhas) {
  RegistroTolerante registro;
  const auto passo = [ignoraFalhas](auto&& acao) {
    if (ignoraFalhas) {
      IgnoraFalha(acao);
    } else {
      acao();
    }
  };
  passo([] { RegistraLog("Desfazendo ações executadas", kAviso); });
  passo([&] { visual.Titulo("Falha na atualização"); });
  passo([&] { visual.Mensagem("Desfazendo ações"); });
  for (const auto& tarefa : desfazer) passo([&] { tarefa->Desfazer(); });
  if (!ignoraFalhas) registro.Conclui();
}

// The copies of backups and installs wait, written but not in place, for
// one flush shared by many (ContextoExecucao::AgrupaCopias), until a task
// comes that could look at their targets: any task but a backup or a copy,
// a backup after copies that install (it reads the installed file), or a
// copy onto a file that a waiting copy replaces (a descriptor may name one
// file twice). So every task sees the disk as if each copy had been put in
// place by its own task.
class CopiasEmEspera {
 public:
  explicit CopiasEmEspera(ContextoExecucao& contexto) : contexto_(contexto) {
    contexto_.AgrupaCopias(true);
  }

  // Before `tarefa` runs.
  void Antes(const Tarefa& tarefa) {
    const int32_t codigo = tarefa.Codigo();
    const bool instala = (codigo == codigo_tarefa::kSubstituirArquivo ||
                          codigo == codigo_tarefa::kCopiarNovoArquivo) &&
                         tarefa.Detalhes().Quantidade() >= 2;
    const std::string destino = instala ? DobraCaixa(tarefa.Detalhes().Item(2)) : std::string();
    const bool espera = instala
                            ? !destinos_.contains(destino)
                            : codigo == codigo_tarefa::kEfetuarCopiaSeguranca && destinos_.empty();
    if (!espera) Conclui();
    if (instala) destinos_.insert(destino);
  }

  // Puts the waiting copies in place.
  void Conclui() {
    destinos_.clear();
    contexto_.ConcluiCopias();
  }

 private:
  ContextoExecucao& contexto_;
  std::unordered_set<std::string> destinos_;  // of the waiting installs, folded
};

}  // namespace

ScriptAtualizacao::ValorDetalhe::ValorDetalhe(bool logico) : texto_(TextoDeLogico(logico)) {}

std::string ScriptAtualizacao::ObtemNomeArquivoInstalado(const std::string& pastaBase,
                                                         const std::string& pastaDestino,
                                                         const std::string& arquivoDestino) {
  return tarvik::ObtemNomeArquivoInstalado(pastaBase, pastaDestino, arquivoDestino);
}

std::string ScriptAtualizacao::ObtemNomeArquivoTemporario(const std::string& pastaTemporaria,
                                                          const std::string& arquivoDestino,
                                                          const std::string& versaoArquivo,
                                                          int32_t indice) {
  return tarvik::ObtemNomeArquivoTemporario(pastaTemporaria, arquivoDestino, versaoArquivo, indice);
}

std::shared_ptr<Tarefa> ScriptAtualizacao::CriaTarefa(
    int32_t codigo, std::initializer_list<ValorDetalhe> detalhes) {
  auto tarefa = std::make_shared<Tarefa>();
  for (const ValorDetalhe& detalhe : detalhes) tarefa->AdicionaDetalhe(detalhe.Texto());
  tarefa->Codigo(codigo);
  return tarefa;
}

void ScriptAtualizacao::AdicionaTarefa(int32_t codigo,
                                       std::initializer_list<ValorDetalhe> detalhes) {
  tarefas_.Adiciona(CriaTarefa(codigo, detalhes));
}

Resultado ScriptAtualizacao::Processa(const std::string& pastaBase, const std::string& versaoAtual,
                                      const DadosAtualizacao& dados, bool falhaComArquivosEmUso,
                                      IInterfaceVisual& visual) {
  if (!dados.Atualizar()) return Resultado::kSucessoInstalacao;
  RegistraLog("pastaBase [" + pastaBase + "]", kInfo);
  RegistraLog(std::string("pastaTemporaria [") + kPastaTemporaria + "]", kInfo);
  RegistraLog(std::string("pastaBackup [") + kPastaBackup + "]", kInfo);
  tarefas_ = ListaTarefas();
  visual.Mensagem("Processando tarefas");
  MontaScript(pastaBase, versaoAtual, dados);
  ListaScript(visual);
  return ExecutaScript(falhaComArquivosEmUso, visual);
}

void ScriptAtualizacao::MontaScript(const std::string& pastaBase, const std::string& versaoAtual,
                                    const DadosAtualizacao& dados) {
  const auto instalado = [&](const IItemSequencia& item) {
    return ObtemNomeArquivoInstalado(pastaBase, item.Destino(), item.NomeDestino());
  };
  const auto temporario = [&](const IItemSequencia& item) {
    return CombinaCaminho(pastaBase,
                          ObtemNomeArquivoTemporario(kPastaTemporaria, item.NomeDestino(),
                                                     dados.NovaVersao(), item.Indice()));
  };

  // Empty elements of the arrays stand for entries the descriptor did not
  // fill; they take no part.
  if (dados.NumeroArquivosOriginais() > 0) {
    for (const auto& original : dados.ArquivosOriginais()) {
      if (!original || !PassaFiltro(dados, *original)) continue;
      AdicionaTarefa(codigo_tarefa::kVerificarArquivoOriginal,
                     {instalado(*original), original->hash(), original->tamanho(),
                      original->Authenticode(), original->Url()});
    }
  }

  std::vector<std::shared_ptr<InformacaoArquivo>> receber;
  for (const auto& arquivo : dados.ArquivosRecuperar()) {
    if (arquivo && PassaFiltro(dados, *arquivo)) receber.push_back(arquivo);
  }
  const auto itens = dados.ItensSequencia();
  const auto ehArquivo = [&](const std::shared_ptr<IItemSequencia>& item) {
    return PassaFiltro(dados, *item) && std::dynamic_pointer_cast<InformacaoArquivo>(item);
  };
  // Every file entry is backed up, so the working folders are needed as
  // soon as there is one, even when nothing is downloaded.
  if (!receber.empty() || std::any_of(itens->begin(), itens->end(), ehArquivo)) {
    const std::string backup = CombinaCaminho(pastaBase, kPastaBackup);
    const std::string temp = CombinaCaminho(pastaBase, kPastaTemporaria);
    AdicionaTarefa(codigo_tarefa::kCriarPasta, {backup, temp});
    AdicionaTarefa(codigo_tarefa::kVerificarPermissaoGravacaoPastas, {backup, temp});
  }
  if (!receber.empty()) {
    for (const auto& arquivo : receber) {
      AdicionaTarefa(codigo_tarefa::kBaixarArquivo,
                     {arquivo->Url(), temporario(*arquivo), arquivo->tamanho()});
    }
    AdicionaTarefa(codigo_tarefa::kAguardarFimArquivosBaixar, {});
    for (const auto& arquivo : receber) {
      AdicionaTarefa(
          codigo_tarefa::kVerificarValidadeArquivo,
          {temporario(*arquivo), arquivo->hash(), arquivo->tamanho(), arquivo->Authenticode()});
    }
  }

  for (const auto& item : *itens) {
    if (!ehArquivo(item)) continue;
    const std::string versionada = CombinaCaminho(
        pastaBase,
        ObtemNomeArquivoTemporario(kPastaBackup, item->NomeDestino(), versaoAtual, item->Indice()));
    // The content the entry installs, so that the backup can tell an
    // installed file that already holds it (a run cut short after the copy)
    // from the installed version.
    const bool instala = item->Acao() == codigo_tarefa::kSubstituirArquivo ||
                         item->Acao() == codigo_tarefa::kCopiarNovoArquivo;
    AdicionaTarefa(
        codigo_tarefa::kEfetuarCopiaSeguranca,
        {instalado(*item), versionada,
         CombinaCaminho(pastaBase, kPastaBackup + item->NomeDestino()),
         instala ? std::dynamic_pointer_cast<InformacaoArquivo>(item)->hash() : std::string()});
  }

  inicioAcoes_ = static_cast<size_t>(tarefas_.Quantidade());
  for (const auto& item : *itens) {
    if (!PassaFiltro(dados, *item)) continue;
    const int32_t acao = item->Acao();
    if (acao == codigo_tarefa::kSubstituirArquivo || acao == codigo_tarefa::kCopiarNovoArquivo) {
      AdicionaTarefa(acao, {temporario(*item), instalado(*item)});
    } else {
      AdicionaTarefa(acao, {instalado(*item)});
    }
  }
}

void ScriptAtualizacao::ListaScript(IInterfaceVisual& visual) const {
  visual.Titulo("Atualizando");
  visual.Mensagem("Preparando a atualização");
  RegistraLog("********* inicio do script de atualização", kInfo);
  for (const auto& tarefa : tarefas_) tarefa->Registra();
  RegistraLog("********* fim do script de atualização", kInfo);
}

Resultado ScriptAtualizacao::ExecutaScript(bool falhaComArquivosEmUso, IInterfaceVisual& visual) {
  visual.Mensagem("Executando a atualização");
  RegistraLog("######### inicio da execução do script de atualização", kInfo);
  ContextoExecucao contexto;
  // Each executed task goes in right after the head, so the list reads the
  // head, then the executed tasks newest first.
  ListaTarefas desfazer;
  desfazer.Adiciona(CriaTarefa(codigo_tarefa::kExibirMensagem, {"Falha. Revertendo as alterações"}),
                    kChaveCabecaDesfazer);
  Resultado ultimo = Resultado::kSucessoInstalacao;
  bool houveEmUso = false;
  int32_t executadas = 0;
  size_t posicao = 0;
  CopiasEmEspera copias(contexto);
  IniciaDiario(tarefas_, inicioAcoes_);
  try {
    for (const auto& tarefa : tarefas_) {
      if (posicao++ == inicioAcoes_) {
        // The backups are on the disk before the journal says that the
        // installation changes.
        copias.Conclui();
        MarcaAcoesNoDiario();
      }
      copias.Antes(*tarefa);
      visual.Mensagem(tarefa->MensagemTarefa());
      ultimo = tarefa->Executa(contexto, true);
      if (falhaComArquivosEmUso && ultimo == Resultado::kArquivosEmUsoReiniciar) {
        RegistraLog("Arquivo em uso sem possibilidade de atualizar. Falhando", kAviso);
        ultimo = Resultado::kFalhaArquivosEmUso;
        break;
      }
      if (ultimo != Resultado::kSucessoInstalacao && ultimo != Resultado::kArquivosEmUsoReiniciar) {
        break;
      }
      desfazer.AdicionaDepois(tarefa, std::to_string(++executadas), kChaveCabecaDesfazer);
      houveEmUso |= ultimo == Resultado::kArquivosEmUsoReiniciar;
      // The progress window repaints, and answers the user, between tasks.
      ProcessaMensagensPendentes();
    }
    copias.Conclui();
  } catch (...) {
    // Whatever left the task (an Erro or a fault of a component) travels on,
    // but not before what ran is put back. The journal stays, so that the
    // next run finishes whatever this undo could not.
    IgnoraFalha([&] { copias.Conclui(); });
    Desfaz(desfazer, visual, true);
    throw;
  }
  RegistraLog("######### fim da execução do script de atualização", kInfo);

  Resultado resultado = Resultado::kSucessoInstalacao;
  if (ultimo == Resultado::kFalhaInstalacao || ultimo == Resultado::kFalhaArquivosEmUso) {
    Desfaz(desfazer, visual, false);
    resultado = ultimo;
  }
  EncerraDiario();
  // An undone run leaves nothing for the restart batch: its records would
  // copy files that the undo removed and delete files that it kept.
  if (!falhaComArquivosEmUso && houveEmUso && resultado == Resultado::kSucessoInstalacao) {
    RegistraLog("Saindo com lista de arquivos em uso para reiniciar", kAviso);
    resultado = Resultado::kArquivosEmUsoReiniciar;
    listaArquivosEmUso_ = contexto.ListaArquivosEmUso();
  }
  return resultado;
}

}  // namespace tarvik
