#ifndef TARVIK_TESTS_SUPPORT_WIN32_IMAGEM_TELA_H_
#define TARVIK_TESTS_SUPPORT_WIN32_IMAGEM_TELA_H_

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tarvik::teste {

// A picture: pixels 0xRRGGBB, row by row from the top.
struct Imagem {
  int largura = 0;
  int altura = 0;
  std::vector<uint32_t> pixels;

  uint32_t Pixel(int x, int y) const { return pixels[static_cast<size_t>(y * largura + x)]; }
};

// The client area of `janela` as the screen shows it, windows above it
// included.
Imagem CapturaCliente(HWND janela);

// `icone` drawn at `tamanho` x `tamanho` pixels over `fundo`.
Imagem DesenhaIcone(HICON icone, int tamanho, COLORREF fundo);

// The pixels of `bitmap`.
Imagem LeBitmap(HBITMAP bitmap);

// Writes `imagem` as a 24-bit BMP file.
void GravaBmp(const Imagem& imagem, const std::filesystem::path& arquivo);

}  // namespace tarvik::teste

#endif  // TARVIK_TESTS_SUPPORT_WIN32_IMAGEM_TELA_H_
