#!/usr/bin/env bash
# Builds the mail components' fuzz target with clang and runs it for a bounded time.
# Usage: platform/net/fuzz/run.sh [SECONDS]   (default 60)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
BUILD=$ROOT/build-fuzz
SECONDS_TO_RUN=${1:-60}
"$ROOT/dev" install clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DVL_FUZZ=ON -DVL_TESTS=OFF -DVL_SANITIZE=ON >/dev/null
cmake --build "$BUILD" --target net_fuzz -j"$(nproc)"
CORPUS=$BUILD/net_fuzz_corpus
mkdir -p "$CORPUS"
printf '250-SIZE 100\r\n' >"$CORPUS/smtp"
printf '+OK 2 320\r\n' >"$CORPUS/pop3"
printf '211-Features:\r\n MDTM\r\n211 End\r\n150 Opening BINARY mode data connection for a (43 bytes).\r\n' >"$CORPUS/ftp"
printf 'Subject: =?windows-1250?Q?=A3=F3d=9F?=\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Disposition: attachment; filename*=utf-8%%27%%27%%C5%%81.zip\r\nContent-Transfer-Encoding: base64\r\n\r\nUEsDBA==\r\n--b--\r\n' >"$CORPUS/mime"
exec "$BUILD/bin/net_fuzz" "$CORPUS" -max_total_time="$SECONDS_TO_RUN" -max_len=65536
