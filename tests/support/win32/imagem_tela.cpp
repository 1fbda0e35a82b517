#include "support/win32/imagem_tela.h"

#include <fstream>
#include <functional>

namespace tarvik::teste {
namespace {

// What `desenha` draws on a 32-bit picture of `largura` x `altura`.
Imagem Desenha(int largura, int altura, const std::function<void(HDC)>& desenha) {
  BITMAPINFO formato{};
  formato.bmiHeader = {sizeof(BITMAPINFOHEADER), largura, -altura, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HDC tela = ::GetDC(nullptr);
  const HDC memoria = ::CreateCompatibleDC(tela);
  const HBITMAP destino = ::CreateDIBSection(memoria, &formato, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ anterior = ::SelectObject(memoria, destino);
  desenha(memoria);
  ::GdiFlush();
  Imagem imagem{largura, altura, {}};
  const auto* inicio = static_cast<const uint32_t*>(bits);
  imagem.pixels.assign(inicio, inicio + largura * altura);
  for (auto& pixel : imagem.pixels) pixel &= 0xFFFFFF;
  ::SelectObject(memoria, anterior);
  ::DeleteObject(destino);
  ::DeleteDC(memoria);
  ::ReleaseDC(nullptr, tela);
  return imagem;
}

}  // namespace

Imagem CapturaCliente(HWND janela) {
  RECT cliente{};
  ::GetClientRect(janela, &cliente);
  POINT origem{0, 0};
  ::ClientToScreen(janela, &origem);
  return Desenha(cliente.right, cliente.bottom, [&](HDC dc) {
    const HDC tela = ::GetDC(nullptr);
    ::BitBlt(dc, 0, 0, cliente.right, cliente.bottom, tela, origem.x, origem.y, SRCCOPY);
    ::ReleaseDC(nullptr, tela);
  });
}

Imagem DesenhaIcone(HICON icone, int tamanho, COLORREF fundo) {
  return Desenha(tamanho, tamanho, [&](HDC dc) {
    const HBRUSH pincel = ::CreateSolidBrush(fundo);
    const RECT tudo{0, 0, tamanho, tamanho};
    ::FillRect(dc, &tudo, pincel);
    ::DeleteObject(pincel);
    ::DrawIconEx(dc, 0, 0, icone, tamanho, tamanho, 0, nullptr, DI_NORMAL);
  });
}

Imagem LeBitmap(HBITMAP bitmap) {
  BITMAP formato{};
  ::GetObjectW(bitmap, sizeof formato, &formato);
  return Desenha(formato.bmWidth, formato.bmHeight, [&](HDC dc) {
    const HDC origem = ::CreateCompatibleDC(dc);
    const HGDIOBJ anterior = ::SelectObject(origem, bitmap);
    ::BitBlt(dc, 0, 0, formato.bmWidth, formato.bmHeight, origem, 0, 0, SRCCOPY);
    ::SelectObject(origem, anterior);
    ::DeleteDC(origem);
  });
}

void GravaBmp(const Imagem& imagem, const std::filesystem::path& arquivo) {
  // Rows of 3 bytes a pixel padded to 4, from the bottom up.
  const auto linha = static_cast<DWORD>((imagem.largura * 3 + 3) / 4 * 4);
  const DWORD dados = linha * static_cast<DWORD>(imagem.altura);
  BITMAPFILEHEADER arquivoBmp{};
  arquivoBmp.bfType = 0x4D42;  // "BM"
  arquivoBmp.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  arquivoBmp.bfSize = arquivoBmp.bfOffBits + dados;
  BITMAPINFOHEADER formato{
      sizeof formato, imagem.largura, imagem.altura, 1, 24, BI_RGB, dados, 0, 0, 0, 0};
  std::ofstream saida(arquivo, std::ios::binary);
  saida.write(reinterpret_cast<const char*>(&arquivoBmp), sizeof arquivoBmp);
  saida.write(reinterpret_cast<const char*>(&formato), sizeof formato);
  std::vector<char> bytes(linha, '\0');
  for (int y = imagem.altura - 1; y >= 0; --y) {
    for (int x = 0; x < imagem.largura; ++x) {
      const uint32_t pixel = imagem.Pixel(x, y);
      bytes[static_cast<size_t>(x * 3)] = static_cast<char>(pixel & 0xFF);
      bytes[static_cast<size_t>(x * 3 + 1)] = static_cast<char>((pixel >> 8) & 0xFF);
      bytes[static_cast<size_t>(x * 3 + 2)] = static_cast<char>((pixel >> 16) & 0xFF);
    }
    saida.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
}

}  // namespace tarvik::teste
