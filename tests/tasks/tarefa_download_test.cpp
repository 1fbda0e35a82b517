#include "support/servidor_local.h"
#include "support/utilitarios_falsos.h"
#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

class BaixarArquivoTest : public TarefaTeste {
 protected:
  void SetUp() override {
    // A body that does not end (it stops at 8 MiB only so that a download
    // that ignores its limit cannot fill the disk).
    servidor_.ServeEmBlocos("/sem-fim", 64 << 10, std::chrono::milliseconds(0), 8 << 20);
    servidor_.Inicia();
  }

  // The lines of downloading `url` into `destino`: the file is named before
  // the transfer that writes it starts.
  static std::string Baixou(const std::string& url, const std::string& destino) {
    return "\nINFO - Baixando arquivo [" + url + "]\nINFO - Gravando arquivo [@/" + destino + "]";
  }

  ServidorLocal servidor_;
};

// The body is stored as it came (a declared size that is no number of
// bytes limits nothing); a component's Erro is logged whole, an answer other
// than 200 with its status, and nothing is left. The undo removes the file,
// read-only or not, and warns when there is none. What the component does
// with an empty body or a transfer that breaks is its own tests' concern.
TEST_F(BaixarArquivoTest, StoresTheBodyOrLogsWhyNot) {
  RespostasFalsas respostas;
  respostas.baixaUrlParaArquivo = [](const std::string& url, const std::string& destino,
                                     int64_t limite) {
    if (url != "http://servidor/a") {
      return CriaUtilitariosDaPlataforma({})->BaixaUrlParaArquivo(url, destino, limite);
    }
    throw tarvik::Erro(-2147012889, "BaixaUrl", "O nome do servidor não pôde ser resolvido");
  };
  FabricaFalsa falsa(respostas);
  Prepara("temp/a-2-1=velho e mais longo; ");
  const std::string corpo = std::string("\x00\x01\xFF", 3) + "corpo\r\n";
  const std::string url = servidor_.Publica("a", corpo), falta = servidor_.Url("/arquivos/falta");
  EXPECT_EQ(Executa(Cria(0, {url, Em("temp\\a-2-1"), "-1"})), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Executa(Cria(0, {falta, Em("temp/x"), "x"})), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Executa(Cria(0, {"http://servidor/a", Em("temp/x")})), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Arquivos(), "temp/; temp/a-2-1=" + corpo + "; ");
  SomenteLeitura("temp/a-2-1");
  Cria(0, {url, Em("temp/a-2-1")}).Desfazer();
  Cria(0, {falta, Em("temp/x")}).Desfazer();
  EXPECT_EQ(Arquivos(), "temp/; ");
  EXPECT_EQ(
      Registro(),
      Nativo(Baixou(url, "temp\\a-2-1") + Baixou(falta, "temp/x") +
             "\nERRO - Erro Http ao baixar os arquivo [" + falta +
             "] Código HTTP: [404] Mensagem [Not Found]" + Baixou("http://servidor/a", "temp/x") +
             "\nERRO - Erro ao baixar os arquivo [http://servidor/a] Erro: "
             "[-2147012889] Mensagem [O nome do servidor não pôde ser resolvido]" +
             R"(
INFO - Desfazendo tarefa: [BaixarArquivo]
AVISO - Arquivo [@/temp/a-2-1] com atributo somente leitura. Tentando remover
INFO - Desfazendo tarefa: [BaixarArquivo]
AVISO - Erro ao desfazer BaixarArquivo. Detalhes [Arquivo não encontrado [@/temp/x]] [53], dados [@/temp/x]
)"));
}

// A body that does not end is cut one byte beyond the declared size and
// kept, so that the validity check refuses it as any file of the wrong size.
TEST_F(BaixarArquivoTest, EndlessBodyStopsOneByteBeyondTheDeclaredSize) {
  const std::string url = servidor_.Url("/sem-fim");
  // sha256 of the 1000 bytes declared and of the 1001 received.
  const std::string declarado = "efeea944a76157a88d281091b6a79608653bc1f14a11d0357431c197701b6155";
  const std::string recebido = "bf6630e4808874965ed6c00a541b531f3c413975de0530b74cb36c571a82bc44";
  Prepara("temp/; ");
  EXPECT_EQ(Executa(Cria(0, {url, Em("temp/a-2-1"), "1000"})), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Executa(Cria(7, {Em("temp/a-2-1"), declarado, "1000", "False"})),
            Resultado::kFalhaInstalacao);
  EXPECT_EQ(Registro(), Nativo(Baixou(url, "temp/a-2-1") +
                               "\nERRO - Tamanho do arquivo [@/temp/a-2-1] não confere: "
                               "Recebido: [1001] esperado: [1000]\n"
                               "ERRO - Hash do arquivo [@/temp/a-2-1] não confere: Recebido: [" +
                               recebido + "] esperado: [" + declarado + "]\n"));
}

}  // namespace
}  // namespace tarvik::teste
