#!/usr/bin/env bash
# Builds the RTF reader's fuzz target with clang and libFuzzer and runs it for a bounded time.
#   platform/vcl/fuzz/run-rtf.sh [seconds=60] [build folder=$TMPDIR/vl-rtf-fuzz]
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../../.." && pwd)
SECONDS_TO_RUN=${1:-60}
BUILD=${2:-${TMPDIR:-/tmp}/vl-rtf-fuzz}

"$ROOT/dev" install clang libclang-rt-14-dev

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVL_FUZZ=ON -DVL_SANITIZE=ON -DVL_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target vcl_rtf_fuzz -j"${JOBS:-$(nproc)}"

# Seeds: the two news texts of the tests and small files of each feature.
CORPUS="$BUILD/platform/vcl/fuzz-corpus"
mkdir -p "$CORPUS"
cp "$ROOT"/platform/vcl/tests/rtf/*.rtf "$CORPUS"/
seed() { printf '%s' "$1" >"$CORPUS/$2"; }
seed '{\rtf1\ansi\ansicpg1250{\fonttbl{\f0\fcharset238 Arial;}}\f0 \'"'"'b9\par}' cp1250
seed '{\rtf1\uc2\u261??\u-10179?\u-8704?\uc0\u322}' unicode
seed '{\rtf1{\colortbl;\red192\green0\blue0;}\cf1\b\i\ul\fs28 x\plain y\line z\tab}' format
seed '{\rtf1{\pict\bin3 }}}{\*\x y}{\info{\title t}}a}' skipped
seed '{\rtf1{{{\b a\'"'"'' damaged
seed 'Zwyk'"$(printf '\xb3')"'y tekst' plain

# Crash files, if any, land in the build folder.
cd "$BUILD"
./bin/vcl_rtf_fuzz -max_total_time="$SECONDS_TO_RUN" -max_len=8192 \
  -print_final_stats=1 "$CORPUS"
