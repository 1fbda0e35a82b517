#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/pasta_temporaria.h"
#include "support/servidor_local.h"
#include "support/utilitarios_falsos.h"
#include "tasks/tarefa_teste.h"

namespace tarvik::teste {
namespace {

const std::string kCorpo = std::string("\x00\x01\xFF", 3) + "corpo\r\n";

class BaixarArquivoTest : public TarefaTeste {
 protected:
  void SetUp() override {
    servidor_.Http().Get("/arquivo.bin", [](const httplib::Request&, httplib::Response& resposta) {
      resposta.set_content(kCorpo, "application/octet-stream");
    });
    servidor_.Http().Get("/vazio.bin", [](const httplib::Request&, httplib::Response& resposta) {
      resposta.set_content("", "application/octet-stream");
    });
    servidor_.Http().Get(
        "/interrompido.bin", [](const httplib::Request&, httplib::Response& resposta) {
          // Announces 1000 bytes and closes after 10.
          resposta.set_content_provider(1000, "application/octet-stream",
                                        [](size_t, size_t, httplib::DataSink& saida) {
                                          saida.write("0123456789", 10);
                                          return false;
                                        });
        });
    servidor_.Inicia();
  }

  ServidorLocal servidor_;
};

TEST_F(BaixarArquivoTest, StoresTheBodyByteForByteReplacingALongerFileOrAnEmptyOne) {
  EscreveArquivo(Em("temp/a.bin-2-1"), std::string(100, 'v'));
  Tarefa tarefa = Cria(0, {servidor_.Url("/arquivo.bin"), Em("temp\\a.bin-2-1")});
  EXPECT_EQ(Executa(tarefa), Resultado::kSucessoInstalacao);
  EXPECT_EQ(LeArquivo(Em("temp/a.bin-2-1")), kCorpo);
  EXPECT_EQ(Registro(),
            Rodada("BaixarArquivo", 2,
                   {LinhaInfo("Baixando arquivo [" + servidor_.Url("/arquivo.bin") + "]"),
                    LinhaInfo("Gravando arquivo [" + Em("temp\\a.bin-2-1") + "]")}));
  Tarefa vazio = Cria(0, {servidor_.Url("/vazio.bin"), Em("temp/v")});
  EXPECT_EQ(Executa(vazio), Resultado::kSucessoInstalacao);
  EXPECT_EQ(std::filesystem::file_size(Em("temp/v")), 0u);
}

TEST_F(BaixarArquivoTest, HttpErrorLeavesNothingAndItsUndoWarnsFileNotFound) {
  std::filesystem::create_directory(Em("temp"));
  const std::string url = servidor_.Url("/falta.bin");
  Tarefa tarefa = Cria(0, {url, Em("temp/f")});
  EXPECT_EQ(Executa(tarefa), Resultado::kFalhaInstalacao);
  tarefa.Desfazer();
  EXPECT_EQ(std::filesystem::directory_iterator(Em("temp")), std::filesystem::directory_iterator());
  EXPECT_EQ(
      Registro(),
      Junta({Rodada("BaixarArquivo", 2,
                    {LinhaInfo("Baixando arquivo [" + url + "]"),
                     LinhaErro("Erro Http ao baixar os arquivo [" + url +
                               "] Código HTTP: [404] Mensagem [Not Found]")},
                    "FalhaInstalacao"),
             {Desfazendo("BaixarArquivo"),
              LinhaAviso("Erro ao desfazer BaixarArquivo. Detalhes [Arquivo não encontrado [" +
                         Em("temp/f") + "]] [53], dados [" + Em("temp/f") + "]")}}));
}

TEST_F(BaixarArquivoTest, TransportFailuresAreLoggedWithTheirNumberAndMessage) {
  std::filesystem::create_directory(Em("temp"));
  const std::string fechada = "http://127.0.0.1:" + std::to_string(PortaFechada()) + "/a.bin";
  const std::string interrompida = servidor_.Url("/interrompido.bin");
  for (const auto& [url, numero] : {std::pair{fechada, 7}, std::pair{interrompida, 18}}) {
    Tarefa tarefa = Cria(0, {url, Em("temp/x")});
    EXPECT_EQ(Executa(tarefa), Resultado::kFalhaInstalacao);
    const auto linhas = Registro();
    ASSERT_GE(linhas.size(), 2u);
    const std::string esperada = LinhaErro("Erro ao baixar os arquivo [" + url + "] Erro: [" +
                                           std::to_string(numero) + "] Mensagem [");
    EXPECT_TRUE(linhas[linhas.size() - 2].starts_with(esperada)) << linhas[linhas.size() - 2];
    EXPECT_TRUE(linhas[linhas.size() - 2].ends_with("]"));
    EXPECT_EQ(linhas.back(), ResultadoTarefa("FalhaInstalacao"));
  }
  EXPECT_EQ(std::filesystem::directory_iterator(Em("temp")), std::filesystem::directory_iterator());
}

using BaixarArquivoSemServidorTest = TarefaTeste;

// Without a server: one that is stopped before it ever listened may hang.
TEST_F(BaixarArquivoSemServidorTest, ComponentErrorIsLoggedWhole) {
  RespostasFalsas respostas;
  respostas.baixaUrlParaArquivo = [](const std::string&, const std::string&) -> RespostaHttp {
    throw tarvik::Erro(-2147012889, "BaixaUrl", "O nome do servidor não pôde ser resolvido");
  };
  FabricaFalsa falsa(respostas);
  Tarefa tarefa = Cria(0, {"http://servidor/a.bin", Em("a.bin")});
  EXPECT_EQ(Executa(tarefa), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Registro()[2],
            LinhaErro("Erro ao baixar os arquivo [http://servidor/a.bin] Erro: [-2147012889] "
                      "Mensagem [O nome do servidor não pôde ser resolvido]"));
}

// The body streams to disk inside the guarded call, so a file that cannot
// be written fails the download instead of raising.
TEST_F(BaixarArquivoSemServidorTest, UnwritableDestinationFailsTheDownload) {
  const std::string url = "http://127.0.0.1:1/a.bin";  // never asked: the file comes first
  Tarefa tarefa = Cria(0, {url, Em("falta/a.bin")});
  EXPECT_EQ(Executa(tarefa), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Registro()[2], LinhaErro("Erro ao baixar os arquivo [" + url +
                                     "] Erro: [76] Mensagem [Caminho não encontrado [" +
                                     Em("falta/a.bin") + "]]"));
}

}  // namespace
}  // namespace tarvik::teste
