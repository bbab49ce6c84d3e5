# The record reader's fuzz target (./dev fuzz Velt_b64_fuzz [SECONDS]), starting from records
# with none, one and two "=", a bad length and a line break, and longer ones.
FUZZ_MAX_LEN=4096
fuzz_seeds() { # CORPUS
  seed() { printf "$1" >"$CORPUS/$2"; }
  local CORPUS=$1
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
}
