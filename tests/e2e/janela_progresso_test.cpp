// The progress window of the built Tarvik.exe during a whole run, and the
// resources it is drawn from. Windows only: POSIX has no such window.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "e2e/instalacao_e2e.h"
#include "e2e/servidor_atualizacao.h"
#include "platform/win32/wide_text.h"
#include "support/win32/imagem_tela.h"
#include "ui/win32/recursos/recursos.h"

namespace tarvik {
namespace {

using Linhas = std::vector<std::string>;

// The captions and labels under test are short.
std::string Texto(HWND janela) {
  wchar_t texto[64] = L"";
  ::GetWindowTextW(janela, texto, 64);
  return platform::FromWide(texto);
}

BOOL CALLBACK AnotaJanelaProgresso(HWND janela, LPARAM lista) {
  wchar_t classe[16];
  if (::IsWindowVisible(janela) && Texto(janela) == "Atualizador TARVIK" &&
      ::GetClassNameW(janela, classe, 16) && std::wstring_view(classe) != L"#32770") {
    reinterpret_cast<std::vector<HWND>*>(lista)->push_back(janela);
  }
  return TRUE;
}

// The visible windows captioned as the progress window that are not
// message boxes, which share the caption.
std::vector<HWND> JanelasProgresso() {
  std::vector<HWND> janelas;
  ::EnumWindows(AnotaJanelaProgresso, reinterpret_cast<LPARAM>(&janelas));
  return janelas;
}

// The labels in their tab order: the title, then the message.
std::vector<HWND> Rotulos(HWND janela) {
  const HWND titulo = ::GetWindow(janela, GW_CHILD);
  return {titulo, ::GetWindow(titulo, GW_HWNDNEXT)};
}

struct Fotografia {
  LONG estilo = 0;
  std::vector<RECT> rotulos;  // in client coordinates
  teste::Imagem imagem;
};

Fotografia Fotografa(HWND janela) {
  Fotografia foto;
  foto.estilo = ::GetWindowLongW(janela, GWL_STYLE);
  for (HWND rotulo : Rotulos(janela)) {
    RECT area;
    ::GetWindowRect(rotulo, &area);
    ::MapWindowPoints(nullptr, janela, reinterpret_cast<POINT*>(&area), 2);
    foto.rotulos.push_back(area);
  }
  foto.imagem = teste::CapturaCliente(janela);
  return foto;
}

// The built program, opened for its resources only, until the test ends.
HMODULE Programa() {
  static const HMODULE modulo =
      ::LoadLibraryExW((teste::PastaBinarios() / "Tarvik.exe").c_str(), nullptr,
                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  return modulo;
}

// The bytes of the program's resource `id` of type `tipo`; null when absent.
const void* Recurso(int id, const char* tipo) {
  const HRSRC recurso = ::FindResourceA(Programa(), MAKEINTRESOURCEA(id), tipo);
  return recurso ? ::LockResource(::LoadResource(Programa(), recurso)) : nullptr;
}

// An application update whose second step fails, so that it is undone:
// the window shows each check, the download, the undo, and goes with each
// check before the failure's message box.
TEST(JanelaProgressoTest, FollowsTheChecksAndTheUpdateAndShowsItsPicture) {
  teste::InstalacaoE2E instalacao;
  teste::ServidorAtualizacao servidor;
  instalacao.ConfiguracaoServidor(servidor.UrlVerificacao());
  teste::EscreveArquivo(instalacao.Em("leiame.txt"), "versão 2.30");
  teste::EscreveArquivo(instalacao.Em("dados/base.txt"), "");
  servidor.Responde(
      false,
      {200, teste::Descritor("2.31", false,
                             {{"SubstituirArquivo", servidor.Arquivo("leiame.txt", "versão 2.31"),
                               "$base$\\", "versão 2.31"},
                              {"RemoverPasta", "dados"}},
                             "2.30", {{"http://s/2.30/leiame.txt", "versão 2.30"}})});

  // What the window shows while the updater waits for each request.
  Linhas vistos;
  std::vector<HWND> janelas;
  Fotografia foto;
  servidor.AoPedido([&](const std::string& alvo) {
    const std::vector<HWND> abertas = JanelasProgresso();
    if (abertas.size() != 1) return vistos.push_back(std::to_string(abertas.size()) + " janelas");
    const std::vector<HWND> rotulos = Rotulos(abertas[0]);
    vistos.push_back(Texto(rotulos[0]) + " | " + Texto(rotulos[1]));
    // The window of an earlier check is gone, not only hidden.
    for (HWND anterior : janelas) {
      if (anterior != abertas[0] && ::IsWindow(anterior)) vistos.back() += " (e a anterior)";
    }
    if (janelas.empty() || janelas.back() != abertas[0]) janelas.push_back(abertas[0]);
    if (alvo.starts_with("/arquivos/")) foto = Fotografa(abertas[0]);
  });
  const auto execucao = instalacao.Executa();
  servidor.AoPedido(nullptr);

  EXPECT_EQ(execucao.caixas.substr(0, execucao.caixas.find('\n')), "Atualizador TARVIK - Erro");
  EXPECT_EQ(vistos, (Linhas{"Verificando por atualizações | Contactando servidor",
                            "Verificando por atualizações | Contactando servidor",
                            "Atualizando | Recebendo arquivos do servidor",
                            "Falha na atualização | Desfazendo ações"}));
  EXPECT_EQ(janelas.size(), 2u);
  EXPECT_TRUE(JanelasProgresso().empty());

  // A fixed dialog of the given client size.
  EXPECT_EQ(foto.imagem.largura, 762);
  ASSERT_EQ(foto.imagem.pixels.size(), 762u * 610u);
  EXPECT_EQ(
      foto.estilo & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
      WS_CAPTION | WS_SYSMENU);
  ASSERT_EQ(foto.imagem.pixels.size(), 762u * 610u);
  teste::GravaBmp(foto.imagem, teste::PastaBinarios().parent_path() / "janela_progresso.bmp");

  // Where no label lies, the screen shows bitmap 102 at the top-left
  // corner, and white beyond it.
  const auto fundo =
      static_cast<HBITMAP>(::LoadImageW(Programa(), MAKEINTRESOURCEW(TARVIK_FUNDO_PROGRESSO),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(fundo, nullptr);
  const teste::Imagem figura = teste::LeBitmap(fundo);
  ::DeleteObject(fundo);
  int diferentes = 0;
  for (int y = 0; y < foto.imagem.altura; ++y) {
    for (int x = 0; x < foto.imagem.largura; ++x) {
      const POINT ponto{x, y};
      if (std::ranges::any_of(foto.rotulos, [&](const RECT& r) { return ::PtInRect(&r, ponto); })) {
        continue;
      }
      const bool naFigura = x < figura.largura && y < figura.altura;
      diferentes += foto.imagem.Pixel(x, y) != (naFigura ? figura.Pixel(x, y) : 0xFFFFFFu);
    }
  }
  EXPECT_EQ(diferentes, 0);
}

// The version record, the icon and the background picture as the built
// file holds them.
TEST(JanelaProgressoTest, ProgramResources) {
  const std::wstring arquivo = (teste::PastaBinarios() / "Tarvik.exe").wstring();
  std::vector<char> versao(::GetFileVersionInfoSizeW(arquivo.c_str(), nullptr));
  ASSERT_TRUE(
      ::GetFileVersionInfoW(arquivo.c_str(), 0, static_cast<DWORD>(versao.size()), versao.data()));
  // The value at `caminho` in the version record; null when absent.
  const auto valor = [&](const std::wstring& caminho) {
    void* dados = nullptr;
    UINT tamanho = 0;
    return ::VerQueryValueW(versao.data(), caminho.c_str(), &dados, &tamanho) ? dados : nullptr;
  };
  std::string lido;
  if (const auto fixa = static_cast<const VS_FIXEDFILEINFO*>(valor(L"\\"))) {
    for (DWORD parte : {fixa->dwFileVersionMS, fixa->dwFileVersionLS, fixa->dwProductVersionMS,
                        fixa->dwProductVersionLS}) {
      lido += std::to_string(HIWORD(parte)) + "." + std::to_string(LOWORD(parte)) + " ";
    }
  }
  wchar_t bloco[9] = L"?";
  if (const auto traducao = static_cast<const WORD*>(valor(L"\\VarFileInfo\\Translation"))) {
    ::swprintf(bloco, 9, L"%04x%04x", traducao[0], traducao[1]);
  }
  lido += platform::FromWide(bloco) + "\n";
  for (const wchar_t* nome :
       {L"FileDescription", L"FileVersion", L"ProductName", L"ProductVersion"}) {
    const auto* texto = static_cast<const wchar_t*>(
        valor(std::wstring(L"\\StringFileInfo\\") + bloco + L"\\" + nome));
    lido += platform::FromWide(nome) + "=" + platform::FromWide(texto ? texto : L"") + "\n";
  }
  EXPECT_EQ(lido,
            "4.0 0.23 4.0 0.23 041604b0\nFileDescription=Módulo do Atualizador\n"
            "FileVersion=4.00.0023\nProductName=Atualizador TARVIK\nProductVersion=4.00.0023\n");

  // The icon's directory: count, then per picture width, height, colours.
  const auto* icone = static_cast<const BYTE*>(Recurso(TARVIK_ICONE, RT_GROUP_ICON));
  ASSERT_NE(icone, nullptr);
  EXPECT_EQ(std::to_string(icone[4]) + " " + std::to_string(icone[6]) + "x" +
                std::to_string(icone[7]) + " " + std::to_string(icone[8]),
            "1 32x32 16");
  const auto* fundo =
      static_cast<const BITMAPINFOHEADER*>(Recurso(TARVIK_FUNDO_PROGRESSO, RT_BITMAP));
  ASSERT_NE(fundo, nullptr);
  EXPECT_EQ(std::to_string(fundo->biWidth) + "x" + std::to_string(fundo->biHeight) + " " +
                std::to_string(fundo->biBitCount),
            "755x538 24");
}

}  // namespace
}  // namespace tarvik
