#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "base/erro.h"
#include "base/texto.h"
#include "platform/acesso_dados.h"
#include "startup/dados_instalacao.h"
#include "startup/id_instalacao.h"
#include "support/instalacao_teste.h"

namespace tarvik {
namespace {

TEST(IdInstalacaoTest, GuidBecomes32CapitalHexDigitsWithLeadingZeros) {
  const platform::Guid guid{
      0x0000ABCD, 0x00EF, 0x4A0B, {0x80, 0x01, 0x02, 0x03, 0xA4, 0xB5, 0xC6, 0x0D}};
  EXPECT_EQ(FormataIdInstalacao(guid), "0000ABCD00EF4A0B80010203A4B5C60D");
}

// A row: field name to value, none for Null.
using Linha = std::map<std::string, std::optional<std::string>>;

// The application database as the start-up sees it through the
// data-access component, which each platform's own tests cover: the rows of
// the two tables, the step that fails ("empresa", "sistema" or "atualiza"),
// and the connection settings and statements it was given.
struct BancoFalso {
  std::vector<Linha> empresa, sistema;
  std::string falha, conexao;
  std::vector<std::string> comandos;
};

class RegistrosFalsos : public Registros {
 public:
  explicit RegistrosFalsos(std::vector<Linha> linhas) : linhas_(std::move(linhas)) {}
  int32_t RecordCount() const override { return static_cast<int32_t>(linhas_.size()); }
  std::optional<std::string> Campo(const std::string& nome) const override {
    for (const auto& [campo, valor] : linhas_.at(0)) {
      if (IgualSemCaixa(campo, nome)) return valor;
    }
    throw ErroPadrao(codigo_erro::kArgumentoInvalido, "Registros:Campo", nome);
  }
  void Close() override {}

 private:
  std::vector<Linha> linhas_;
};

class AcessoDadosFalso : public AcessoDados {
 public:
  explicit AcessoDadosFalso(BancoFalso& banco) : banco_(banco) {}
  void Modo(int32_t modo) override { Anota(std::to_string(modo)); }
  void CaminhoBanco(const std::string& caminho) override { Anota(caminho); }
  void Usuario(const std::string& usuario) override { Anota(usuario); }
  void Senha(const std::string& senha) override { Anota(senha); }
  void Provedor(const std::string& provedor) override { Anota(provedor); }
  void NomeBanco(const std::string& nome) override { Anota(nome); }
  bool Abre() override { return true; }
  int16_t ExecutaComando(const std::string& sql, int32_t&, int16_t&) override {
    banco_.comandos.push_back(sql);
    static const std::regex kAtualizaId("UPDATE tbSistema SET idInstalacao = '(\\w+)'");
    std::smatch id;
    if (banco_.falha == "atualiza" || !std::regex_match(sql, id, kAtualizaId)) return 0;
    for (auto& linha : banco_.sistema) linha["idInstalacao"] = id[1];
    return static_cast<int16_t>(banco_.sistema.size());
  }
  bool Consulta(const std::string& sql, int32_t&, std::unique_ptr<Registros>& registros) override {
    const bool empresa = sql == "SELECT Agencia,conta,dac,cnpjcpf FROM tbEmpresa";
    const bool sistema = sql == "SELECT verProd, idInstalacao FROM tbSistema";
    if ((!empresa && !sistema) || banco_.falha == (empresa ? "empresa" : "sistema")) return false;
    registros = std::make_unique<RegistrosFalsos>(empresa ? banco_.empresa : banco_.sistema);
    return true;
  }
  bool Fecha() override { return true; }

 private:
  void Anota(const std::string& valor) { banco_.conexao += valor + "|"; }
  BancoFalso& banco_;
};

class DadosBaseTest : public ::testing::Test {
 protected:
  // What LeDadosBase gives, '|' separated and the program's folder written
  // "@", or "nada".
  std::string Lidos() const {
    const auto dados = LeDadosBase();
    if (!dados) return "nada";
    return dados->versaoAplicativo + "|" +
           teste::Substitui(dados->pastaBase, instalacao_.Pasta().Texto(), "@") + "|" +
           dados->idInstalacao + "|" + dados->urlServidor + "|" + dados->conta + "|" + dados->cnpj;
  }

  teste::InstalacaoTeste instalacao_{{2026, 12, 10, 10, 0, 0}};
  BancoFalso banco_;
  FabricaAcessoDadosDeTeste fabrica_{[this] { return std::make_unique<AcessoDadosFalso>(banco_); }};
};

// The account is agency, account and check digit in one; a new id is
// created once and stored (its log lines are read back by the runs of the
// whole program); null fields read as empty texts, and an empty id is no
// missing id.
TEST_F(DadosBaseTest, ReadsTheInstallationAndCreatesAMissingIdOnce) {
  banco_.empresa = {
      {{"Agencia", "0123"}, {"conta", "45678"}, {"dac", "9"}, {"cnpjcpf", "11222333000181"}}};
  banco_.sistema = {{{"verProd", "2.30"}, {"idInstalacao", std::nullopt}}};
  const std::string lidos = Lidos();
  const std::string id = banco_.sistema[0]["idInstalacao"].value_or("");
  EXPECT_TRUE(std::regex_match(id, std::regex("[0-9A-F]{32}")));
  EXPECT_EQ(lidos, "2.30|@|" + id + "|" + kUrlProducao + "|0123456789|11222333000181");
  EXPECT_EQ(teste::Substitui(banco_.conexao, instalacao_.Pasta().Texto(), "@"),
            "ADMIN|Microsoft.Jet.OLEDB.4.0.1|pelirana.mdb|@\\Dados\\|VORMELIAS|3|");
  EXPECT_EQ(Lidos(), lidos);
  EXPECT_EQ(banco_.comandos.size(), 1u);
  for (auto& campo : banco_.empresa.at(0)) campo.second.reset();
  banco_.sistema = {{{"verProd", std::nullopt}, {"idInstalacao", ""}}};
  EXPECT_EQ(Lidos(), "|@||" + std::string(kUrlProducao) + "||");
  banco_.empresa.clear();
  EXPECT_EQ(Lidos(), "|@||" + std::string(kUrlProducao) + "||");
}

// A database that does not open, and its log line, are read back in the runs
// of the whole program.
TEST_F(DadosBaseTest, EachFailureIsLoggedAndGivesNothing) {
  const std::pair<std::string, const char*> casos[] = {
      {"empresa", "ERRO - Erro na consulta dos dados da empresa"},
      {"sistema", "ERRO - Erro na consulta dos dados do sistema"},
      {"vazio", "ERRO - Sem informação de sistema"},
      {"atualiza",
       "INFO - Gerando novo id de instalação\nERRO - Erro atualizando o id do sistema"}};
  for (const auto& [falha, linhas] : casos) {
    std::filesystem::remove(instalacao_.Pasta().Em("registro.log"));
    banco_ = BancoFalso();
    banco_.falha = falha;
    if (falha != "vazio") banco_.sistema = {{{"verProd", "2.30"}, {"idInstalacao", std::nullopt}}};
    EXPECT_EQ(Lidos(), "nada");
    EXPECT_EQ(instalacao_.TextoRegistro(),
              "\nINFO - Acessando informação na base\n" + std::string(linhas) + "\n");
  }
}

}  // namespace
}  // namespace tarvik
