#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/erro.h"
#include "platform/acesso_dados.h"
#include "platform/win32/com.h"
#include "platform/win32/interfaces_ado.h"
#include "platform/win32/wide_text.h"

namespace tarvik {
namespace {

using platform::ApartamentoCom;
using platform::Bstr;
using platform::Com;
using platform::NovoBstr;
using platform::Variante;

// ADO's classes and the interfaces of ADO 2.x, which every version of
// Windows still answers to.
constexpr GUID kConnection = {
    0x00000514, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
constexpr GUID kRecordset = {
    0x00000535, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
constexpr GUID kInterfaceConnection = {
    0x00000550, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
constexpr GUID kInterfaceRecordset = {
    0x00000556, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};

constexpr char kOrigemCampo[] = "Registros:Campo";
// A statement that returns no rows: ADO builds no record set for it.
constexpr long kSemRegistros = long{adCmdText} | long{adExecuteNoRecords};

template <typename Interface>
Com<Interface> Cria(const GUID& classe, const GUID& interface_) {
  void* objeto = nullptr;
  if (FAILED(::CoCreateInstance(classe, nullptr, CLSCTX_INPROC_SERVER, interface_, &objeto))) {
    return nullptr;
  }
  return Com<Interface>(static_cast<Interface*>(objeto));
}

// One `chave=valor;` of a connection string. A value that would end early
// or lose its blanks goes in double quotes, with its own quotes doubled.
std::string ParConexao(const char* chave, const std::string& valor) {
  const bool aspas = valor.find_first_of(";\"'") != std::string::npos ||
                     (!valor.empty() && (valor.front() == ' ' || valor.back() == ' '));
  std::string texto = std::string(chave) + "=";
  if (!aspas) return texto + valor + ";";
  texto += '"';
  for (const char c : valor) {
    if (c == '"') texto += '"';
    texto += c;
  }
  return texto + "\";";
}

class RegistrosAdo : public Registros {
 public:
  explicit RegistrosAdo(Com<_ADORecordset> registros) : registros_(std::move(registros)) {}

  ~RegistrosAdo() override { RegistrosAdo::Close(); }

  int32_t RecordCount() const override {
    ADO_LONGPTR quantos = -1;
    if (!registros_ || FAILED(registros_->get_RecordCount(&quantos))) return -1;
    return static_cast<int32_t>(quantos);
  }

  std::optional<std::string> Campo(const std::string& nome) const override {
    Variante valor;
    if (!LeCampo(nome, valor.valor)) {
      throw ErroPadrao(codigo_erro::kArgumentoInvalido, kOrigemCampo, nome);
    }
    if (valor.valor.vt == VT_NULL) return std::nullopt;
    if (valor.valor.vt == VT_EMPTY) return std::string();
    Variante texto;
    if (FAILED(::VariantChangeType(&texto.valor, &valor.valor, VARIANT_ALPHABOOL, VT_BSTR))) {
      throw ErroPadrao(codigo_erro::kTipoIncompativel, kOrigemCampo, nome);
    }
    return platform::FromWide({texto.valor.bstrVal, ::SysStringLen(texto.valor.bstrVal)});
  }

  void Close() override {
    if (!registros_) return;
    registros_->Close();
    registros_.reset();
  }

 private:
  // The field's value on the current row; false for an unknown field or
  // when there is no row. ADO matches names without regard to case.
  bool LeCampo(const std::string& nome, VARIANT& valor) const {
    VARIANT_BOOL fim = VARIANT_TRUE;
    VARIANT_BOOL inicio = VARIANT_TRUE;
    if (!registros_ || FAILED(registros_->get_EOF(&fim)) || FAILED(registros_->get_BOF(&inicio)) ||
        fim != VARIANT_FALSE || inicio != VARIANT_FALSE) {
      return false;
    }
    ADOFields* camposBrutos = nullptr;
    if (FAILED(registros_->get_Fields(&camposBrutos))) return false;
    const Com<ADOFields> campos(camposBrutos);
    Variante indice;
    indice.valor.vt = VT_BSTR;
    indice.valor.bstrVal = NovoBstr(nome).release();
    ADOField* campoBruto = nullptr;
    if (FAILED(campos->get_Item(indice.valor, &campoBruto))) return false;
    const Com<ADOField> campo(campoBruto);
    return SUCCEEDED(campo->get_Value(&valor));
  }

  // Declared first: COM outlives the record set.
  ApartamentoCom com_;
  Com<_ADORecordset> registros_;
};

// The application database through ADO. The connection string names the
// provider, the database file, the user and the password; the mode is the
// connection's own property.
class AcessoDadosAdo : public AcessoDados {
 public:
  ~AcessoDadosAdo() override { AcessoDadosAdo::Fecha(); }

  void Modo(int32_t modo) override { modo_ = modo; }
  void CaminhoBanco(const std::string& caminho) override { caminho_ = caminho; }
  void Usuario(const std::string& usuario) override { usuario_ = usuario; }
  void Senha(const std::string& senha) override { senha_ = senha; }
  void Provedor(const std::string& provedor) override { provedor_ = provedor; }
  void NomeBanco(const std::string& nome) override { nome_ = nome; }

  bool Abre() override {
    Fecha();
    Com<_ADOConnection> conexao = Cria<_ADOConnection>(kConnection, kInterfaceConnection);
    if (!conexao) return false;
    const Bstr texto =
        NovoBstr(ParConexao("Provider", provedor_) + ParConexao("Data Source", caminho_ + nome_) +
                 ParConexao("User ID", usuario_) + ParConexao("Password", senha_));
    if (FAILED(conexao->put_Mode(static_cast<ConnectModeEnum>(modo_))) ||
        FAILED(conexao->Open(texto.get(), nullptr, nullptr, adOptionUnspecified))) {
      return false;
    }
    conexao_ = std::move(conexao);
    return true;
  }

  int16_t ExecutaComando(const std::string& sql, int32_t&, int16_t&) override {
    if (!conexao_) return 0;
    const Bstr comando = NovoBstr(sql);
    Variante afetados;
    _ADORecordset* nenhum = nullptr;
    if (FAILED(conexao_->Execute(comando.get(), &afetados.valor, kSemRegistros, &nenhum))) {
      return 0;
    }
    if (nenhum != nullptr) nenhum->Release();
    Variante quantos;
    if (FAILED(::VariantChangeType(&quantos.valor, &afetados.valor, 0, VT_I4))) return 0;
    const LONG alteradas = quantos.valor.lVal;
    return static_cast<int16_t>(alteradas > INT16_MAX ? INT16_MAX : alteradas);
  }

  bool Consulta(const std::string& sql, int32_t&, std::unique_ptr<Registros>& registros) override {
    if (!conexao_) return false;
    Com<_ADORecordset> consulta = Cria<_ADORecordset>(kRecordset, kInterfaceRecordset);
    if (!consulta) return false;
    Variante origem;
    origem.valor.vt = VT_BSTR;
    origem.valor.bstrVal = NovoBstr(sql).release();
    VARIANT conexao;
    conexao.vt = VT_DISPATCH;
    conexao.pdispVal = conexao_.get();
    // A static cursor knows how many rows it holds.
    if (FAILED(consulta->Open(origem.valor, conexao, adOpenStatic, adLockReadOnly, adCmdText))) {
      return false;
    }
    registros = std::make_unique<RegistrosAdo>(std::move(consulta));
    return true;
  }

  bool Fecha() override {
    if (!conexao_) return false;
    conexao_->Close();
    conexao_.reset();
    return true;
  }

 private:
  // Declared first: COM outlives the connection.
  ApartamentoCom com_;
  int32_t modo_ = 0;
  std::string caminho_;
  std::string usuario_;
  std::string senha_;
  std::string provedor_;
  std::string nome_;
  Com<_ADOConnection> conexao_;
};

}  // namespace

std::unique_ptr<AcessoDados> CriaAcessoDadosDaPlataforma() {
  return std::make_unique<AcessoDadosAdo>();
}

}  // namespace tarvik
