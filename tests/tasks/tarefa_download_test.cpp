#include "support/servidor_local.h"
#include "support/utilitarios_falsos.h"
#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

class BaixarArquivoTest : public TarefaTeste {
 protected:
  void SetUp() override {
    servidor_.Http().Get("/interrompido", [](const httplib::Request&, httplib::Response& resposta) {
      // Announces 1000 bytes and closes after 10.
      resposta.set_content_provider(1000, "application/octet-stream",
                                    [](size_t, size_t, httplib::DataSink& saida) {
                                      saida.write("0123456789", 10);
                                      return false;
                                    });
    });
    servidor_.Inicia();
  }

  // The lines of downloading `url` into `destino`: the file is named before
  // the transfer that writes it starts.
  static std::string Baixou(const std::string& url, const std::string& destino) {
    return "\nINFO - Baixando arquivo [" + url + "]\nINFO - Gravando arquivo [@/" + destino + "]";
  }

  ServidorLocal servidor_;
};

TEST_F(BaixarArquivoTest, StoresTheBodyByteForByteReplacingWhatWasThere) {
  const std::string corpo = std::string("\x00\x01\xFF", 3) + "corpo\r\n";
  EscreveArquivo(Em("temp/a-2-1"), std::string(100, 'v'));
  EscreveArquivo(Em("temp/v-2-2"), "v");
  const std::string url = servidor_.Publica("a", corpo), vazio = servidor_.Publica("v", "");
  EXPECT_EQ(Executa(Cria(0, {url, Em("temp\\a-2-1")})), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Executa(Cria(0, {vazio, Em("temp/v-2-2")})), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Arquivos(), "temp/; temp/a-2-1=" + corpo + "; temp/v-2-2=; ");
  EXPECT_EQ(Registro(), Baixou(url, "temp\\a-2-1") + Baixou(vazio, "temp/v-2-2") + "\n");
}

// A failed download leaves nothing on disk; the destination is opened
// before the server is asked.
TEST_F(BaixarArquivoTest, FailuresAreLoggedWithTheirNumberAndLeaveNothing) {
  RespostasFalsas respostas;
  respostas.baixaUrlParaArquivo = [](const std::string& url, const std::string& destino) {
    if (url != "http://servidor/a") {
      return CriaUtilitariosDaPlataforma()->BaixaUrlParaArquivo(url, destino);
    }
    throw tarvik::Erro(-2147012889, "BaixaUrl", "O nome do servidor não pôde ser resolvido");
  };
  FabricaFalsa falsa(respostas);
  const std::string falta = servidor_.Url("/arquivos/falta");
  const std::string interrompida = servidor_.Url("/interrompido");
  const std::string fechada = "http://127.0.0.1:" + std::to_string(PortaFechada()) + "/a";
  const std::string erro = "Erro ao baixar os arquivo [";
  const struct {
    std::string url, destino, falha;
  } casos[] = {
      {falta, "temp/x",
       "Erro Http ao baixar os arquivo [" + falta + "] Código HTTP: [404] Mensagem [Not Found]"},
      {interrompida, "temp/x", erro + interrompida + "] Erro: [18] Mensagem [...]"},
      {fechada, "temp/x", erro + fechada + "] Erro: [7] Mensagem [...]"},
      {fechada, "falta/a",
       erro + fechada + "] Erro: [76] Mensagem [Caminho não encontrado [@/falta/a]]"},
      {"http://servidor/a", "temp/x",
       erro + "http://servidor/a] Erro: [-2147012889] Mensagem [O nome do servidor não pôde ser "
              "resolvido]"}};
  std::filesystem::create_directory(Em("temp"));
  for (const auto& [url, destino, falha] : casos) {
    LimpaRegistro();
    EXPECT_EQ(Executa(Cria(0, {url, Em(destino)})), Resultado::kFalhaInstalacao);
    // The transport's own message varies from run to run; its number does not.
    EXPECT_EQ(std::regex_replace(Registro(), std::regex("(Erro: \\[(7|18)\\] Mensagem \\[).+\\]"),
                                 "$1...]"),
              Baixou(url, destino) + "\nERRO - " + falha + "\n");
  }
  EXPECT_EQ(Arquivos(), "temp/; ");
}

TEST_F(BaixarArquivoTest, DownloadUndoRemovesTheFileEvenWhenReadOnlyOrWarnsThatThereIsNone) {
  EscreveArquivo(Em("temp/a-2-1"), "x");
  SomenteLeitura("temp/a-2-1");
  Cria(0, {"http://s/a", Em("temp/a-2-1")}).Desfazer();
  Cria(0, {"http://s/b", Em("temp/b-2-2")}).Desfazer();
  EXPECT_EQ(Arquivos(), "temp/; ");
  EXPECT_EQ(Registro(), R"(
INFO - Desfazendo tarefa: [BaixarArquivo]
AVISO - Arquivo [@/temp/a-2-1] com atributo somente leitura. Tentando remover
INFO - Desfazendo tarefa: [BaixarArquivo]
AVISO - Erro ao desfazer BaixarArquivo. Detalhes [Arquivo não encontrado [@/temp/b-2-2]] [53], dados [@/temp/b-2-2]
)");
}

}  // namespace
}  // namespace tarvik::teste
