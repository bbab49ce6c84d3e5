# The RTF reader's fuzz target (./dev fuzz vcl_rtf_fuzz [SECONDS]), starting from the two news
# texts of the tests and small files of each feature.
FUZZ_MAX_LEN=8192
fuzz_seeds() { # CORPUS
  cp "$ROOT"/platform/vcl/tests/rtf/*.rtf "$1"/
  seed() { printf '%s' "$1" >"$CORPUS/$2"; }
  local CORPUS=$1
  seed '{\rtf1\ansi\ansicpg1250{\fonttbl{\f0\fcharset238 Arial;}}\f0 \'"'"'b9\par}' cp1250
  seed '{\rtf1\uc2\u261??\u-10179?\u-8704?\uc0\u322}' unicode
  seed '{\rtf1{\colortbl;\red192\green0\blue0;}\cf1\b\i\ul\fs28 x\plain y\line z\tab}' format
  seed '{\rtf1{\pict\bin3 }}}{\*\x y}{\info{\title t}}a}' skipped
  seed '{\rtf1{{{\b a\'"'"'' damaged
  seed 'Zwyk'"$(printf '\xb3')"'y tekst' plain
}
