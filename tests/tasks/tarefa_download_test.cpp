#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "support/pasta_temporaria.h"
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

  // The log of a download of `url` into `arquivo`: the file is named before
  // it is written, and a failure follows.
  static Linhas Download(const std::string& url, const std::string& arquivo,
                         const std::string& falha = {}) {
    Linhas proprias{LinhaInfo("Baixando arquivo [" + url + "]"),
                    LinhaInfo("Gravando arquivo [" + arquivo + "]")};
    if (falha.empty()) return Rodada("BaixarArquivo", 2, proprias);
    proprias.push_back(LinhaErro(falha));
    return Rodada("BaixarArquivo", 2, proprias, "FalhaInstalacao");
  }

  ServidorLocal servidor_;
};

TEST_F(BaixarArquivoTest, StoresTheBodyByteForByteReplacingWhatWasThere) {
  const std::string corpo = std::string("\x00\x01\xFF", 3) + "corpo\r\n";
  EscreveArquivo(Em("temp/a-2-1"), std::string(100, 'v'));
  EscreveArquivo(Em("temp/v-2-2"), "v");
  const std::string url = servidor_.Publica("a", corpo), vazio = servidor_.Publica("v", "");
  Tarefa tarefa = Cria(0, {url, Em("temp\\a-2-1")});
  Tarefa tarefaVazia = Cria(0, {vazio, Em("temp/v-2-2")});
  EXPECT_EQ(Executa(tarefa), Resultado::kSucessoInstalacao);
  EXPECT_EQ(Executa(tarefaVazia), Resultado::kSucessoInstalacao);
  EXPECT_EQ(LeArquivo(Em("temp/a-2-1")), corpo);
  EXPECT_EQ(std::filesystem::file_size(Em("temp/v-2-2")), 0u);
  EXPECT_EQ(Registro(),
            Junta({Download(url, Em("temp\\a-2-1")), Download(vazio, Em("temp/v-2-2"))}));
}

// A failed download leaves nothing on disk. The transport's own message
// varies from run to run; its number does not.
TEST_F(BaixarArquivoTest, FailuresAreLoggedWithTheirNumberAndLeaveNothing) {
  std::filesystem::create_directory(Em("temp"));
  const std::string falta = servidor_.Url("/arquivos/falta");
  const std::string interrompida = servidor_.Url("/interrompido");
  const std::string fechada = "http://127.0.0.1:" + std::to_string(PortaFechada()) + "/a";
  const std::string x = Em("temp/x"), semPasta = Em("falta/a");
  const struct {
    std::string url, destino, falha;
  } casos[] = {
      {falta, x,
       "Erro Http ao baixar os arquivo [" + falta + "] Código HTTP: [404] Mensagem [Not Found]"},
      {interrompida, x,
       "Erro ao baixar os arquivo [" + interrompida + "] Erro: [18] Mensagem [...]"},
      {fechada, x, "Erro ao baixar os arquivo [" + fechada + "] Erro: [7] Mensagem [...]"},
      // The destination is opened before the server is asked.
      {fechada, semPasta,
       "Erro ao baixar os arquivo [" + fechada + "] Erro: [76] Mensagem [Caminho não encontrado [" +
           semPasta + "]]"}};
  for (const auto& [url, destino, falha] : casos) {
    std::filesystem::remove(Em("registro.log"));
    Tarefa tarefa = Cria(0, {url, destino});
    EXPECT_EQ(Executa(tarefa), Resultado::kFalhaInstalacao);
    Linhas linhas = Registro();
    if (falha.ends_with("[...]") && linhas.size() > 3) {
      linhas[3] = std::regex_replace(linhas[3], std::regex("Mensagem \\[.+\\]$"), "Mensagem [...]");
    }
    EXPECT_EQ(linhas, Download(url, destino, falha));
  }
  EXPECT_EQ(std::filesystem::directory_iterator(Em("temp")), std::filesystem::directory_iterator());
}

TEST_F(BaixarArquivoTest, ComponentErrorIsLoggedWhole) {
  RespostasFalsas respostas;
  respostas.baixaUrlParaArquivo = [](const std::string&, const std::string&) -> RespostaHttp {
    throw tarvik::Erro(-2147012889, "BaixaUrl", "O nome do servidor não pôde ser resolvido");
  };
  FabricaFalsa falsa(respostas);
  Tarefa tarefa = Cria(0, {"http://servidor/a", Em("a")});
  EXPECT_EQ(Executa(tarefa), Resultado::kFalhaInstalacao);
  EXPECT_EQ(Registro(), Download("http://servidor/a", Em("a"),
                                 "Erro ao baixar os arquivo [http://servidor/a] Erro: "
                                 "[-2147012889] Mensagem [O nome do servidor não pôde ser "
                                 "resolvido]"));
}

}  // namespace
}  // namespace tarvik::teste
