#include "server/processamento.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "base/erro.h"
#include "descriptor/recupera_dados_atualizacao.h"
#include "log/registro.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/utilitarios.h"
#include "script/script_atualizacao.h"
#include "server/informacao_sistema.h"
#include "server/lote_reinicio.h"
#include "ui/interface_debug.h"
#include "ui/janela_progresso.h"

namespace tarvik {
namespace {

constexpr char kTituloVerificando[] = "Verificando por atualizações";
constexpr char kMensagemContactando[] = "Contactando servidor";
constexpr char kMensagemProcessando[] = "Processando resposta";
constexpr char kTituloAtualizando[] = "Atualizando a versão";
constexpr char kMensagemSaindo[] = "Saindo...";

std::string Produto(bool atualizador) { return atualizador ? "atualizador" : "TARVIK"; }

std::string LinhaBuscando(const std::string& versaoAtual, bool atualizador) {
  return "Buscando informação de atualização. Versão atual: " + versaoAtual +
         ", atualizador: " + (atualizador ? "True" : "False");
}

std::string LinhaErroBaixar(const std::string& urlBase, const ResultadoPasso& passo) {
  return "Erro ao baixar o arquivo [" + urlBase + "] Erro: [" + std::to_string(passo.numero) +
         "] Mensagem [" + passo.descricao + "]";
}

std::string LinhaErroInterpretar(const ResultadoPasso& passo) {
  return "Erro ao interpretar a resposta do servidor. Erro: [" + std::to_string(passo.numero) +
         "] Mensagem [" + passo.descricao + "]";
}

std::string PedidoVerificacao(const std::string& urlBase, const std::string& versaoAtual,
                              bool atualizador) {
  return urlBase + "?versaoAplicativo=" + versaoAtual + (atualizador ? "&atualizador=on" : "");
}

// yyyymmddhhmmss in local time.
std::string CarimboRelatorio() {
  const DataHora agora = platform::LocalNow();
  char texto[32];
  std::snprintf(texto, sizeof texto, "%04d%02d%02d%02d%02d%02d", agora.ano, agora.mes, agora.dia,
                agora.hora, agora.minuto, agora.segundo);
  return texto;
}

std::string PedidoRelatorio(const std::string& urlBase, const std::string& idInstalacao,
                            Resultado resultado, const std::string& versaoAtual,
                            const std::string& novaVersao, const std::string& conta,
                            const std::string& cnpj) {
  return urlBase + "?operacao=resultado&chave=" + idInstalacao + "&data=" + CarimboRelatorio() +
         "&resultado=" + NomeResultado(resultado) + "&versao_original=" + versaoAtual +
         "&versao_atualizada=" + novaVersao + "&conta=" + conta + "&cnpj=" + cnpj;
}

std::unique_ptr<IInterfaceVisual> CriaInterface(bool exibeInterface) {
  std::unique_ptr<IInterfaceVisual> visual;
  if (exibeInterface) visual = CriaJanelaProgresso();
  if (!visual) visual = std::make_unique<InterfaceDebug>();
  return visual;
}

}  // namespace

std::string BytesParaTexto(std::string_view bytes) { return platform::FromAnsiCodePage(bytes); }

Resultado Processamento::ProcessaAtualizacaoAtualizador(const std::string& versaoAtual,
                                                        const std::string& pastaBase,
                                                        const std::string& urlBase,
                                                        const std::string& idInstalacao,
                                                        bool atualizador, const std::string& conta,
                                                        const std::string& cnpj) {
  const std::unique_ptr<IInterfaceVisual> visual = CriaInterface(exibeInterface_);
  visual->TrocaMensagemTitulo(kTituloVerificando, kMensagemContactando);
  Resultado resultado = Resultado::kFalhaInstalacao;
  Registro(LinhaBuscando(versaoAtual, atualizador), kInfo);

  const std::unique_ptr<Utilitarios> utilitarios = CriaUtilitarios();
  utilitarios->InformacaoCliente(InformacaoSistema());
  const std::string pedido = PedidoVerificacao(urlBase, versaoAtual, atualizador);
  Registro("url em uso: [" + pedido + "]", kInfo);

  RespostaHttp resposta;
  const ResultadoPasso baixa = PassoProtegido([&] { resposta = utilitarios->BaixaUrl(pedido); });
  std::optional<DadosAtualizacao> dados;
  if (baixa.Falhou()) {
    Registro(LinhaErroBaixar(urlBase, baixa), kErro);
  } else {
    Registro("Resposta recebida. Código http [" + std::to_string(resposta.status) + "]", kInfo);
    visual->Mensagem(kMensagemProcessando);
    if (resposta.status != 200) {
      Registro("Erro na recepção. Código HTTP: [" + std::to_string(resposta.status) +
                   "], mensagem [" + resposta.textoStatus + "]",
               kInfo);
    } else {
      // An answer that cannot be read ends this check as a failure; the run
      // goes on in order.
      const ResultadoPasso leitura =
          PassoProtegido([&] { dados = RecuperaDadosAtualizacao(BytesParaTexto(resposta.corpo)); });
      if (leitura.Falhou()) Registro(LinhaErroInterpretar(leitura), kErro);
    }
  }

  if (dados && !dados->Atualizar()) {
    Registro("Não é necessário atualizar o " + Produto(atualizador) +
                 ". Versão atual já é a correta (" + versaoAtual + ")",
             kInfo);
    resultado = Resultado::kSucessoInstalacao;
  } else if (dados) {
    visual->Titulo(kTituloAtualizando);
    ScriptAtualizacao script;
    resultado = script.Processa(pastaBase, versaoAtual, *dados, !atualizador, *visual);
    if (resultado == Resultado::kArquivosEmUsoReiniciar && atualizador) {
      EscreveLoteReinicio(pastaBase, versaoAtual, *script.ListaArquivosEmUso());
    }
    if (resultado == Resultado::kSucessoInstalacao) {
      Registro("Sucesso na atualização do " + Produto(atualizador), kInfo);
    }
    // The outcome of an attempted update is reported whatever it was; the
    // report's own failures and its answer do not matter.
    IgnoraFalha([&] {
      utilitarios->BaixaUrl(PedidoRelatorio(urlBase, idInstalacao, resultado, versaoAtual,
                                            dados->NovaVersao(), conta, cnpj));
    });
  }

  visual->Mensagem(kMensagemSaindo);
  visual->Finaliza();
  return resultado;
}

DadosAtualizacao Processamento::RecuperaDadosAtualizacao(const std::string& conteudo) {
  return tarvik::RecuperaDadosAtualizacao(conteudo);
}

void Processamento::Registro(const std::string& linha, const std::string& categoria) {
  RegistraLog(linha, categoria);
}

}  // namespace tarvik
