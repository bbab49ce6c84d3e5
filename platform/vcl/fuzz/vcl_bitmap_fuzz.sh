# The bitmap header reader's fuzz target (./dev fuzz vcl_bitmap_fuzz [SECONDS]), starting from
# bitmaps ImageMagick writes in several depths and headers.
FUZZ_PACKAGES=(imagemagick)
FUZZ_MAX_LEN=4096
fuzz_seeds() { # CORPUS
  local src=$1/src.png
  convert -size 9x5 -seed 3 plasma:fractal -alpha off "$src"
  convert "$src" "$1/rgb24.bmp"
  convert "$src" BMP2:"$1/os2.bmp"
  convert "$src" BMP3:"$1/info.bmp"
  convert "$src" -monochrome "$1/mono.bmp"
  convert "$src" -colors 16 -compress None "$1/p4.bmp"
  convert "$src" -colors 200 -type Palette -compress RLE "$1/rle8.bmp"
  convert "$src" -define bmp:subtype=RGB565 "$1/565.bmp"
  convert "$src" -alpha set "$1/argb.bmp"
  rm "$src"
}
