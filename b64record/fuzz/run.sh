#!/usr/bin/env bash
# Builds the record reader's fuzz target with clang and libFuzzer and runs it for a bounded time.
#   b64record/fuzz/run.sh [seconds=60] [build folder=$TMPDIR/vl-b64-fuzz]
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
SECONDS_TO_RUN=${1:-60}
BUILD=${2:-${TMPDIR:-/tmp}/vl-b64-fuzz}

"$ROOT/dev" install clang libclang-rt-14-dev

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVL_FUZZ=ON -DVL_SANITIZE=ON -DVL_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target Velt_b64_fuzz -j"$(nproc)"

# Seeds: records with none, one and two "=", a bad length and a line break, and longer ones.
CORPUS="$BUILD/b64record/fuzz-corpus"
mkdir -p "$CORPUS"
seed() { printf "$1" >"$CORPUS/$2"; }
seed '\x03;QTtCO0M7RDtFO0Y7Rzs=' one-pad
seed '\x07;QTtCO0M7RDtFO0Y7R0g7' no-pad
seed '\x04;QTtCO0M7O0U7RjtHOw==' two-pads
seed '\x01;QTtCO0M7RDtFO0Y7RztIOw==' eight-separators
seed '\x02;QQ' bad-length
seed '\x02;Zm9v\n' line-break
seed '\x02\x00QTtCO0M7RDtFO0Y7Rzs=' null-separator
# Longer than one block of the AVX2 decoder (32 characters), with a tail after the blocks.
seed '\x05;S293YWxza2k7SmFuO1BvbG5hIDE7MDAtOTUwO1dhcnN6YXdhO1BMOzEyMzQ1Ow==' two-blocks
seed '\x05;S293YWxza2k7SmFu\r\nO1BvbG5hIDE7MDAtOTUwO1dhcnN6YXdh\x80\xffPMOz\t\tEyMzQ1Ow==' noisy-blocks

# Crash files, if any, land in the build folder.
cd "$BUILD"
./bin/Velt_b64_fuzz -max_total_time="$SECONDS_TO_RUN" -max_len=4096 -print_final_stats=1 "$CORPUS"
