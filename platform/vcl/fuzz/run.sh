#!/usr/bin/env bash
# Builds the bitmap reader's fuzz target with clang and runs it for a bounded time, starting
# from bitmaps ImageMagick writes in several depths.
# Usage: platform/vcl/fuzz/run.sh [SECONDS]   (default 60)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
BUILD=$ROOT/build-fuzz
SECONDS_TO_RUN=${1:-60}
"$ROOT/dev" install clang libclang-rt-14-dev imagemagick
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DVL_FUZZ=ON -DVL_TESTS=OFF -DVL_SANITIZE=ON >/dev/null
cmake --build "$BUILD" --target vcl_bitmap_fuzz -j"$(nproc)"
CORPUS=$BUILD/vcl_bitmap_fuzz_corpus
mkdir -p "$CORPUS"
SRC=$CORPUS/src.png
convert -size 9x5 -seed 3 plasma:fractal -alpha off "$SRC"
convert "$SRC" "$CORPUS/rgb24.bmp"
convert "$SRC" BMP2:"$CORPUS/os2.bmp"
convert "$SRC" BMP3:"$CORPUS/info.bmp"
convert "$SRC" -monochrome "$CORPUS/mono.bmp"
convert "$SRC" -colors 16 -compress None "$CORPUS/p4.bmp"
convert "$SRC" -colors 200 -type Palette -compress RLE "$CORPUS/rle8.bmp"
convert "$SRC" -define bmp:subtype=RGB565 "$CORPUS/565.bmp"
convert "$SRC" -alpha set "$CORPUS/argb.bmp"
rm "$SRC"
export QT_QPA_PLATFORM=offscreen
exec "$BUILD/bin/vcl_bitmap_fuzz" "$CORPUS" -max_total_time="$SECONDS_TO_RUN" -max_len=4096
