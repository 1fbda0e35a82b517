// The database step of start-up.

#include <memory>
#include <optional>
#include <string>

#include "log/registro.h"
#include "platform/acesso_dados.h"
#include "platform/process.h"
#include "startup/dados_instalacao.h"
#include "startup/id_instalacao.h"

namespace tarvik {
namespace {

constexpr char kAcessando[] = "Acessando informação na base";
constexpr char kErroAbrindo[] = "Erro abrindo a base";
constexpr char kErroEmpresa[] = "Erro na consulta dos dados da empresa";
constexpr char kErroSistema[] = "Erro na consulta dos dados do sistema";
constexpr char kSemSistema[] = "Sem informação de sistema";
constexpr char kGerandoId[] = "Gerando novo id de instalação";
constexpr char kErroAtualizandoId[] = "Erro atualizando o id do sistema";

constexpr char kConsultaEmpresa[] = "SELECT Agencia,conta,dac,cnpjcpf FROM tbEmpresa";
constexpr char kConsultaSistema[] = "SELECT verProd, idInstalacao FROM tbSistema";
constexpr int32_t kModoConexao = 3;
constexpr int32_t kModoConsulta = 3;

std::string Texto(const Registros& registros, const char* campo) {
  return registros.Campo(campo).value_or("");
}

std::optional<DadosInstalacao> Falha(AcessoDados& banco, const char* linha) {
  RegistraLog(linha, kErro);
  banco.Fecha();
  return std::nullopt;
}

}  // namespace

std::optional<DadosInstalacao> LeDadosBase() {
  RegistraLog(kAcessando, kInfo);
  const std::unique_ptr<AcessoDados> banco = CriaAcessoDados();
  banco->Usuario("ADMIN");
  banco->Provedor("Microsoft.Jet.OLEDB.4.0.1");
  banco->NomeBanco("pelirana.mdb");
  banco->CaminhoBanco(platform::ProgramFolder() + "\\Dados\\");
  banco->Senha("VORMELIAS");
  banco->Modo(kModoConexao);
  if (!banco->Abre()) {
    RegistraLog(kErroAbrindo, kErro);
    return std::nullopt;
  }

  DadosInstalacao dados;
  dados.pastaBase = platform::ProgramFolder();
  int32_t modo = kModoConsulta;
  std::unique_ptr<Registros> empresa;
  if (!banco->Consulta(kConsultaEmpresa, modo, empresa)) return Falha(*banco, kErroEmpresa);
  if (empresa->RecordCount() > 0) {
    dados.conta = Texto(*empresa, "agencia") + Texto(*empresa, "conta") + Texto(*empresa, "dac");
    dados.cnpj = Texto(*empresa, "cnpjcpf");
  }
  empresa->Close();

  modo = kModoConsulta;
  std::unique_ptr<Registros> sistema;
  if (!banco->Consulta(kConsultaSistema, modo, sistema)) return Falha(*banco, kErroSistema);
  if (sistema->RecordCount() == 0) return Falha(*banco, kSemSistema);
  dados.versaoAplicativo = Texto(*sistema, "verProd");

  if (const auto id = sistema->Campo("idInstalacao")) {
    dados.idInstalacao = *id;
  } else {
    dados.idInstalacao = GeraIdInstalacao();
    RegistraLog(kGerandoId, kInfo);
    int32_t n = 0;
    int16_t m = 0;
    if (banco->ExecutaComando("UPDATE tbSistema SET idInstalacao = '" + dados.idInstalacao + "'", n,
                              m) < 1) {
      return Falha(*banco, kErroAtualizandoId);
    }
  }
  sistema->Close();
  banco->Fecha();
  dados.urlServidor = kUrlProducao;
  return dados;
}

}  // namespace tarvik
