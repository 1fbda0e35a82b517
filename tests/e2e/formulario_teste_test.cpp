// The developer's test form, run as a process: on POSIX a terminal form
// given its answers on standard input, on Windows a dialog driven through
// its controls.

#ifdef _WIN32
#include <windows.h>
#endif
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <thread>

#include "e2e/instalacao_e2e.h"
#include "e2e/servidor_atualizacao.h"
#include "support/pasta_temporaria.h"
#include "support/plataforma_teste.h"
#include "support/processo.h"
#ifdef _WIN32
#include "platform/win32/wide_text.h"
#endif

namespace tarvik {
namespace {

struct UsoFormulario {
  teste::ResultadoProcesso resultado;
  std::string exibido;  // what the form showed before the press
};

#ifdef _WIN32
std::string Texto(HWND controle) {
  wchar_t texto[512] = L"";
  ::SendMessageW(controle, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(texto));
  return platform::FromWide(texto);
}
#endif

// Runs `programa`, types `endereco` into Text1 and presses cmdConsultar;
// with no address, closes the form untouched.
UsoFormulario UsaFormulario(const std::filesystem::path& programa,
                            const std::optional<std::string>& endereco) {
  UsoFormulario uso;
#ifdef _WIN32
  std::thread processo(
      [&] { uso.resultado = teste::Executa(programa, {}, programa.parent_path()); });
  HWND dialogo = nullptr;
  teste::Aguarda([&] {
    dialogo = ::FindWindowW(L"#32770", L"Form1");
    return dialogo && ::IsWindowVisible(dialogo);
  });
  const HWND texto = ::FindWindowExW(dialogo, nullptr, L"Edit", nullptr);
  const HWND botao = ::FindWindowExW(dialogo, nullptr, L"Button", nullptr);
  uso.exibido = Texto(dialogo) + "\n" + Texto(texto) + "\n" + Texto(botao);
  if (endereco) {
    ::SendMessageW(texto, WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(platform::ToWide(*endereco).c_str()));
    ::SendMessageW(botao, BM_CLICK, 0, 0);
  }
  ::PostMessageW(dialogo, WM_CLOSE, 0, 0);
  processo.join();
#else
  uso.resultado = teste::Executa(programa, {}, programa.parent_path(), {{"DISPLAY", ""}},
                                 endereco ? *endereco + "\n\n" : "");
  uso.exibido = uso.resultado.saida;
#endif
  return uso;
}

TEST(FormularioTesteTest, ConfirmedAddressFiresOneUpdaterCheckWithTheSampleValues) {
  teste::PastaTemporaria pasta;
  teste::ServidorAtualizacao servidor;
  const std::string formulario = "formulario_teste" + teste::kExtensaoPrograma;
  std::filesystem::copy_file(teste::PastaBinarios() / formulario, pasta.Caminho() / formulario);
  const auto programa = pasta.Caminho() / formulario;
  // Closed untouched, it fires nothing.
  EXPECT_EQ(UsaFormulario(programa, std::nullopt).resultado.status, 0);
  EXPECT_TRUE(servidor.Pedidos().empty());

  const auto uso = UsaFormulario(programa, servidor.UrlVerificacao());
  EXPECT_EQ(uso.resultado.status, 0) << uso.resultado.erros;
  const std::string inicial =
      "http://127.0.0.1:8080/ConsultaAtualizador/VerificaAtualizacao.aspx?versaoAplicativo=1.0&"
      "atualizador=on";
#ifdef _WIN32
  EXPECT_EQ(uso.exibido, "Form1\n" + inicial + "\n&Consultar");
#else
  EXPECT_EQ(uso.exibido,
            "Form1\n\nEndereço (Enter mantém):\n" + inicial + "\n> [&Consultar] (Enter) ");
#endif
  const std::string verificacao =
      std::string(teste::ServidorAtualizacao::kCaminho) + "?versaoAplicativo=1.0&atualizador=on";
  EXPECT_EQ(servidor.Pedidos(), std::vector<std::string>{verificacao});

  // Run from the source folder, it works on the base subfolder; the sample
  // identity travels in the report.
  teste::EscreveArquivo(pasta.Em("Mervanto.vbp"), "");
  servidor.Responde(true, {200, teste::Descritor("1.1", false, {{"CriarPasta", "relatorios"}})});
  UsaFormulario(programa, servidor.UrlVerificacao());
  EXPECT_TRUE(std::filesystem::is_directory(pasta.Em("base/relatorios")));
  const auto pedidos = servidor.Pedidos();
  ASSERT_EQ(pedidos.size(), 3u);
  EXPECT_NE(pedidos[2].find("&chave=12345&"), std::string::npos) << pedidos[2];
  EXPECT_TRUE(pedidos[2].ends_with("&conta=12345-6&cnpj=11222333000181")) << pedidos[2];
}

}  // namespace
}  // namespace tarvik
