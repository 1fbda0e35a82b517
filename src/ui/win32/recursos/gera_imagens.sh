#!/bin/sh
# Draws the pictures of the Windows programs' resources with ImageMagick:
#   fundo_progresso.bmp  the progress window's background, 755 x 538, 24 bits
#                        per pixel, white in the top rows where the labels lie
#   tarvik.ico           the program's icon, 32 x 32, 16 colours
# Usage: gera_imagens.sh <output folder> [convert program]
set -eu
saida=$1
convert=${2:-convert}
mkdir -p "${saida}"

azul='#1f5fa8'
claro='#eaf1fb'

# The sign of an update: two arrows chasing each other round a circle of
# centre (cx, cy) and radius r, in the colour `cor`, as bands r / `fina`
# wide. Each is a filled band (outer edge forwards, inner edge back), which
# no stroking can distort.
setas() {
  awk -v cx="$1" -v cy="$2" -v r="$3" -v cor="$4" -v fina="$5" 'BEGIN {
    pi = atan2(0, -1)
    meia = r / fina / 2
    printf "stroke none fill \"%s\" ", cor
    for (k = 0; k < 2; k++) {
      # 140 degrees clockwise, then the head.
      a0 = 200 - 180 * k; a1 = 340 - 180 * k
      printf "polygon "
      for (a = a0; a <= a1; a += 5) ponto(r + meia, a)
      for (a = a1; a >= a0; a -= 5) ponto(r - meia, a)
      t = a1 * pi / 180
      ex = cx + r * cos(t); ey = cy + r * sin(t)
      # Along the circle (tangent) and across it (radius).
      tx = -sin(t); ty = cos(t); nx = cos(t); ny = sin(t)
      printf "polygon %g,%g %g,%g %g,%g ", ex + 3.6 * meia * tx, ey + 3.6 * meia * ty,
        ex + 2.6 * meia * nx, ey + 2.6 * meia * ny, ex - 2.6 * meia * nx, ey - 2.6 * meia * ny
    }
  }
  function ponto(raio, graus) {
    printf "%g,%g ", cx + raio * cos(graus * pi / 180), cy + raio * sin(graus * pi / 180)
  }'
}

# The labels cover the top 137 rows: there only a rule between them. Below,
# a framed panel with a page inside the sign.
"${convert}" -size 755x538 xc:white \
  -fill "${azul}" -draw 'rectangle 8,44 746,45' \
  -fill "${claro}" -stroke "${azul}" -strokewidth 2 -draw 'roundrectangle 8,160 746,529 14,14' \
  -fill white -draw 'rectangle 352,302 402,378' \
  -strokewidth 3 -draw 'line 361,320 393,320 line 361,336 393,336 line 361,352 393,352
    line 361,368 383,368' \
  -draw "$(setas 377 340 100 "${azul}" 6)" \
  -type TrueColor "BMP3:${saida}/fundo_progresso.bmp"

# The sign alone, in white on a blue square with rounded corners, drawn large
# and reduced to 16 colours.
"${convert}" -size 256x256 xc:none \
  -fill "${azul}" -draw 'roundrectangle 0,0 255,255 40,40' \
  -draw "$(setas 128 128 80 white 3.5)" \
  -resize 32x32 +dither -colors 16 "ICO:${saida}/tarvik.ico"
