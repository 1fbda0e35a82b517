#include "script/script_atualizacao.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "script/script_teste.h"
#include "support/pasta_temporaria.h"
#include "support/processo.h"

namespace tarvik::teste {
namespace {

using ScriptAtualizacaoTest = ScriptTeste;
using Conteudos = std::map<std::string, std::string>;
using Linhas = std::vector<std::string>;

const std::string kInicioExecucao = LinhaInfo("######### inicio da execução do script de atualização");
const std::string kFimExecucao = LinhaInfo("######### fim da execução do script de atualização");
const std::string kInicioScript = LinhaInfo("********* inicio do script de atualização");
const std::string kFimScript = LinhaInfo("********* fim do script de atualização");

TEST_F(ScriptAtualizacaoTest, AppliesEveryActionKind) {
  EscreveArquivo(Em("app.dll"), "app 1.0");
  EscreveArquivo(Em("velho.dll"), "velho 1.0");
  std::filesystem::create_directory(Em("antiga"));
  const std::string urlApp = Publica("app.dll", "app 2.0");
  const std::string urlNovo = Publica("novo.dll", "novo 2.0");
  const std::string descritor = Descritor(
      {{"SubstituirArquivo", urlApp, "$base$\\", "app 2.0"},
       {"CriarPasta", "plugins"},
       {"CopiarNovoArquivo", urlNovo, "$base$\\plugins\\", "novo 2.0"},
       {"RemoverArquivo", "http://servidor/2.0/velho.dll"},
       {"RemoverPasta", "antiga"}},
      false, {{"app.dll", "app 1.0"}});

  EXPECT_EQ(Processa(descritor), 0);

  const std::string b = Base();
  const std::string hashApp = Hash("app 2.0"), hashNovo = Hash("novo 2.0");
  EXPECT_EQ(Registro(),
            (Linhas{
                LinhaInfo("pastaBase [" + b + "]"),
                LinhaInfo("pastaTemporaria [temp\\]"),
                LinhaInfo("pastaBackup [backup\\]"),
                kInicioScript,
                LinhaInfo("VerificarArquivoOriginal: [app.dll] [" + Hash("app 1.0") +
                          "] [7] [False] [http://servidor/1.0/app.dll] "),
                LinhaInfo("CriarPasta: [" + b + "\\backup\\] [" + b + "\\temp\\] "),
                LinhaInfo("VerificarPermissaoGravacaoPastas: [" + b + "\\backup\\] [" + b + "\\temp\\] "),
                LinhaInfo("BaixarArquivo: [" + urlApp + "] [" + b + "\\temp\\app.dll-2.0-1] "),
                LinhaInfo("BaixarArquivo: [" + urlNovo + "] [" + b + "\\temp\\novo.dll-2.0-3] "),
                LinhaInfo("AguardarFimArquivosBaixar: "),
                LinhaInfo("VerificarValidadeArquivo: [" + b + "\\temp\\app.dll-2.0-1] [" + hashApp + "] [7] [False] "),
                LinhaInfo("VerificarValidadeArquivo: [" + b + "\\temp\\novo.dll-2.0-3] [" + hashNovo +
                          "] [8] [False] "),
                LinhaInfo("EfetuarCopiaSeguranca: [" + b + "\\app.dll] [" + b + "\\backup\\app.dll-1.0-1] [" + b +
                          "\\backup\\app.dll] "),
                LinhaInfo("EfetuarCopiaSeguranca: [" + b + "\\plugins\\novo.dll] [" + b +
                          "\\backup\\novo.dll-1.0-3] [" + b + "\\backup\\novo.dll] "),
                LinhaInfo("EfetuarCopiaSeguranca: [" + b + "\\velho.dll] [" + b + "\\backup\\velho.dll-1.0-4] [" +
                          b + "\\backup\\velho.dll] "),
                LinhaInfo("SubstituirArquivo: [" + b + "\\temp\\app.dll-2.0-1] [" + b + "\\app.dll] "),
                LinhaInfo("CriarPasta: [" + b + "\\plugins] "),
                LinhaInfo("CopiarNovoArquivo: [" + b + "\\temp\\novo.dll-2.0-3] [" + b + "\\plugins\\novo.dll] "),
                LinhaInfo("RemoverArquivo: [" + b + "\\velho.dll] "),
                LinhaInfo("RemoverPasta: [" + b + "\\antiga] "),
                kFimScript,
                kInicioExecucao,
                Executando("VerificarArquivoOriginal", 5),
                LinhaAviso("Arquivo deveria existir [app.dll]"),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("CriarPasta", 2),
                LinhaInfo("Criando pasta: [" + b + "\\backup\\]"),
                LinhaInfo("Criando pasta: [" + b + "\\temp\\]"),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("VerificarPermissaoGravacaoPastas", 2),
                LinhaInfo("Tentando criar arquivo temporário... [" + b + "\\backup\\, teste, 0]"),
                LinhaInfo("Tentando gravar conteúdo no arquivo temporário [" + b + "/backup/teste??????]"),
                LinhaInfo("Tentando remover o arquivo temporário [" + b + "/backup/teste??????]"),
                LinhaInfo("Tentando criar arquivo temporário... [" + b + "\\temp\\, teste, 0]"),
                LinhaInfo("Tentando gravar conteúdo no arquivo temporário [" + b + "/temp/teste??????]"),
                LinhaInfo("Tentando remover o arquivo temporário [" + b + "/temp/teste??????]"),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("BaixarArquivo", 2),
                LinhaInfo("Baixando arquivo [" + urlApp + "]"),
                LinhaInfo("Gravando arquivo [" + b + "\\temp\\app.dll-2.0-1]"),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("BaixarArquivo", 2),
                LinhaInfo("Baixando arquivo [" + urlNovo + "]"),
                LinhaInfo("Gravando arquivo [" + b + "\\temp\\novo.dll-2.0-3]"),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("AguardarFimArquivosBaixar", 0),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("VerificarValidadeArquivo", 4),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("VerificarValidadeArquivo", 4),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("EfetuarCopiaSeguranca", 3),
                LinhaInfo("Copiando [" + b + "\\app.dll] para [" + b + "\\backup\\app.dll-1.0-1]"),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("EfetuarCopiaSeguranca", 3),
                LinhaAviso("Arquivo não existe. Não será possível restaurar em caso de erro. [" + b +
                           "\\plugins\\novo.dll]"),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("EfetuarCopiaSeguranca", 3),
                LinhaInfo("Copiando [" + b + "\\velho.dll] para [" + b + "\\backup\\velho.dll-1.0-4]"),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("SubstituirArquivo", 2),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("CriarPasta", 1),
                LinhaInfo("Criando pasta: [" + b + "\\plugins\\]"),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("CopiarNovoArquivo", 2),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("RemoverArquivo", 1),
                LinhaInfo("Removendo o arquivo [" + b + "\\velho.dll]"),
                ResultadoTarefa("SucessoInstalacao"),
                Executando("RemoverPasta", 1),
                ResultadoTarefa("SucessoInstalacao"),
                kFimExecucao,
            }));
  EXPECT_EQ(Arvore(), (Conteudos{{"app.dll", "app 2.0"},
                              {"backup", kPasta},
                              {"backup/app.dll", "app 1.0"},
                              {"backup/app.dll-1.0-1", "app 1.0"},
                              {"backup/velho.dll", "velho 1.0"},
                              {"backup/velho.dll-1.0-4", "velho 1.0"},
                              {"plugins", kPasta},
                              {"plugins/novo.dll", "novo 2.0"},
                              {"temp", kPasta},
                              {"temp/app.dll-2.0-1", "app 2.0"},
                              {"temp/novo.dll-2.0-3", "novo 2.0"}}));
  EXPECT_EQ(script_.ListaArquivosEmUso(), nullptr);
  EXPECT_EQ(interface_.Titulo(), "Atualizando");
  EXPECT_EQ(interface_.Mensagem(), "Processando atualização");
}

}  // namespace
}  // namespace tarvik::teste
