#include "server/lote_reinicio.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/process.h"
#include "support/pasta_temporaria.h"
#include "support/plataforma_teste.h"

namespace tarvik::teste {
namespace {

std::shared_ptr<ItemEmUso> Item(int32_t acao, const std::string& origem,
                                const std::string& destino) {
  auto item = std::make_shared<ItemEmUso>();
  item->Acao(acao);
  item->Origem(origem);
  item->Destino(destino);
  return item;
}

TEST(LoteReinicioTest, WritesEveryLineInTheCodePageReplacingALeftOver) {
  const PastaTemporaria pasta;
  const std::string base = pasta.Texto();
  EscreveArquivo(pasta.Em("atualiza.bat"), std::string(500, 'x'));
  ListaItensEmUso itens;
  itens.Adiciona(Item(0, "C:\\Meus Programas\\temp\\ação.exe-2-1", "C:\\Meus Programas\\ação.exe"));
  itens.Adiciona(Item(7, "C:\\ignorado", "C:\\ignorado"));
  itens.Adiciona(Item(1, "C:\\Meus Programas\\velho \"x\".dll", ""));
  EscreveLoteReinicio(base, "4.00", itens);
  EXPECT_EQ(LeArquivo(pasta.Em("atualiza.bat")),
            "rundll32 \"" + base + "\\atualiza.dll\",_fnAguarda@16 " +
                std::to_string(platform::CurrentProcessId()) +
                "\r\n"
                "copy /y \"C:\\Meus Programas\\temp\\" +
                kAcaoNoLote + ".exe-2-1\" \"C:\\Meus Programas\\" + kAcaoNoLote +
                ".exe\"\r\n"
                "del /f \"C:\\Meus Programas\\velho \"x\".dll\"\r\n"
                "start tarvik.exe 4.00\r\n"
                "del /f \"" +
                base + "\\atualiza.bat\"\r\n");
}

}  // namespace
}  // namespace tarvik::teste
