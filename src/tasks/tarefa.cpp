#include "tasks/tarefa.h"

#include <iterator>

#include "base/erro.h"
#include "descriptor/resultado.h"
#include "log/registro.h"
#include "platform/files.h"
#include "tasks/utilitarios_da_chamada.h"

namespace tarvik {
namespace {

constexpr int32_t kErroTarefaDesconhecida = 2;
constexpr int32_t kErroParametros = 3;

struct DescricaoTarefa {
  const char* nome;
  const char* mensagem;
};

constexpr char kProcessando[] = "Processando atualização";
constexpr char kCopiando[] = "Copiando arquivos";

// Indexed by task code; a null name marks a code that is no task.
constexpr DescricaoTarefa kTarefas[] = {
    {"BaixarArquivo", "Recebendo arquivos do servidor"},
    {nullptr, nullptr},
    {"AguardarFimArquivosBaixar", "Finalizando recebimento dos arquivos"},
    {"VerificarExistenciaArquivo", kProcessando},
    {"VerificarExistenciaPasta", kProcessando},
    {"VerificarVersaoArquivoSubstituido", kProcessando},
    {"VerificarPermissaoGravacaoPastas", kProcessando},
    {"VerificarValidadeArquivo", kProcessando},
    {"EfetuarCopiaSeguranca", "Efetuando cópia de segurança"},
    {"SubstituirArquivo", kCopiando},
    {"CopiarNovoArquivo", kCopiando},
    {nullptr, nullptr},
    {"RemoverArquivo", kProcessando},
    {"RemoverPasta", kProcessando},
    {"CriarPasta", kProcessando},
    {"ExibirMensagem", kProcessando},
    {"VerificarArquivoOriginal", kProcessando},
};

const DescricaoTarefa* Procura(int32_t codigo) {
  constexpr auto kQuantidade = static_cast<int32_t>(std::size(kTarefas));
  if (codigo < 0 || codigo >= kQuantidade || !kTarefas[codigo].nome) return nullptr;
  return &kTarefas[codigo];
}

Erro TarefaDesconhecida(const char* origem, int32_t codigo) {
  return Erro(kErroTarefaDesconhecida, origem, "Tarefa desconhecida: " + std::to_string(codigo));
}

}  // namespace

std::string Tarefa::NomeTarefa() const {
  const DescricaoTarefa* descricao = Procura(codigo_);
  if (!descricao) throw TarefaDesconhecida("Tarefa:NomeTarefa", codigo_);
  return descricao->nome;
}

std::string Tarefa::MensagemTarefa() const {
  const DescricaoTarefa* descricao = Procura(codigo_);
  if (!descricao) throw TarefaDesconhecida("Tarefa:MensagemTarefa", codigo_);
  return descricao->mensagem;
}

void Tarefa::Registra() const {
  std::string linha = NomeTarefa() + ": ";
  for (const std::string& detalhe : detalhes_) linha += "[" + detalhe + "] ";
  RegistraLog(linha, kInfo);
}

Resultado Tarefa::Executa(ContextoExecucao& contexto, [[maybe_unused]] bool simulado) {
  RegistraLog("Executando [" + NomeTarefa() + "] com [" + std::to_string(detalhes_.Quantidade()) +
                  "] detalhes",
              kInfo);
  UtilitariosDaChamada utilitarios;
  const Resultado resultado = ExecutaTrabalho(contexto, utilitarios);
  RegistraLog("Resultado da tarefa: [" + NomeResultado(resultado) + "]", kInfo);
  return resultado;
}

Resultado Tarefa::ExecutaTrabalho(ContextoExecucao& contexto, UtilitariosDaChamada& utilitarios) {
  using namespace codigo_tarefa;
  switch (codigo_) {
    case kBaixarArquivo:
      return BaixaArquivo(utilitarios);
    case kAguardarFimArquivosBaixar:
      break;  // downloads end before their task does
    case kVerificarExistenciaArquivo:
    case kVerificarExistenciaPasta:
      return VerificaExistencia(utilitarios);
    case kVerificarPermissaoGravacaoPastas:
      return VerificaPermissaoGravacao(utilitarios);
    case kVerificarValidadeArquivo:
      return VerificaValidade(utilitarios);
    case kEfetuarCopiaSeguranca:
      return EfetuaCopiaSeguranca(contexto, utilitarios);
    case kSubstituirArquivo:
    case kCopiarNovoArquivo:
      return CopiaArquivo(contexto, utilitarios);
    case kRemoverArquivo:
      return RemoveArquivo(contexto, utilitarios);
    case kRemoverPasta:
      return RemovePasta(utilitarios);
    case kCriarPasta:
      return CriaPastas(utilitarios);
    case kExibirMensagem:
      ExibeMensagem();
      break;
    case kVerificarArquivoOriginal:
      VerificaArquivoOriginal(utilitarios);
      break;
    default:
      throw TarefaDesconhecida("Tarefa:Executa", codigo_);  // named, but without work: 5
  }
  return Resultado::kSucessoInstalacao;
}

void Tarefa::ExigeDetalhes() const {
  if (detalhes_.Vazia())
    throw Erro(kErroParametros, "Tarefa:Executa", "Número insuficiente de parâmetros");
}

std::shared_ptr<ItemEmUso> Tarefa::CriaItemEmUso(int32_t acao, const std::string& origem,
                                                 const std::string& destino) {
  auto item = std::make_shared<ItemEmUso>();
  item->Acao(acao);
  item->Origem(origem);
  if (acao != acao_em_uso::kRemover) item->Destino(destino);
  return item;
}

bool Tarefa::RemoveSomenteLeitura(const std::string& arquivo) {
  uint32_t atributos = 0;
  const ResultadoPasso leitura =
      PassoProtegido([&] { atributos = platform::GetAttributes(arquivo); });
  if (leitura.numero > 0) {
    RegistraLog("Erro verificando atributo (Get). Detalhes [" + leitura.descricao + "] [" +
                    std::to_string(leitura.numero) + "], dados [" + arquivo + "]",
                kErro);
    return false;
  }
  if ((atributos & platform::kAttributeReadOnly) == 0) return true;
  RegistraLog("Arquivo [" + arquivo + "] com atributo somente leitura. Tentando remover", kAviso);
  const ResultadoPasso escrita = PassoProtegido(
      [&] { platform::SetAttributes(arquivo, atributos - platform::kAttributeReadOnly); });
  if (escrita.numero >= 1) {
    RegistraLog("Erro verificando atributo (Set). Detalhes [" + escrita.descricao + "] [" +
                    std::to_string(escrita.numero) + "], dados [" + arquivo + "]",
                kErro);
    return false;
  }
  return true;
}

}  // namespace tarvik
