#pragma once

// The record decoder's AVX2 inner loop, kept in a file of its own so that only this code is
// compiled for AVX2 and the rest of the library runs on any x86 processor.

#include <cstddef>

namespace Velt_b64 {

// Decodes whole blocks of 32 characters (eight groups) from `in` to `out`, 24 bytes a block,
// with exactly the scalar decoder's bytes, and returns the number of groups done (a multiple
// of 8, at most `groups`). `out` may be `in`: each block is loaded before its bytes are
// stored, and a store never reaches past what has been loaded. A store writes 32 bytes, the
// last 8 of them later overwritten or past the decoded text. Only to be called where the
// processor has AVX2; returns 0 on processors of other kinds.
std::size_t DecodeBlocksAvx2(const unsigned char* in, char* out, std::size_t groups);

} // namespace Velt_b64
