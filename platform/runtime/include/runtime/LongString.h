#pragma once

// The length-counted, reference-counted string that crosses a library boundary.
//
// A value is the address of its first character, or null for the empty string. In front of
// the characters lie a 32-bit length and, before it, a 32-bit reference count; one 0 byte
// follows the characters. A count of -1 marks a constant that is never counted or freed.
// Blocks are made with the C library's malloc and freed with free, so a host program and a
// library that share the C library can each release blocks the other made.

#include <cstdint>
#include <string>
#include <string_view>

namespace rtl {

struct LongStringHeader {
    std::int32_t refCount;
    std::int32_t length;
};

using LongString = char*; // the value as it crosses the boundary

// A new block holding `bytes`, count 1; the empty text gives null. Null when memory runs out.
LongString LStrNew(std::string_view bytes);

// Takes one more reference (constants and null are left alone).
void LStrAddRef(LongString s);

// Gives up one reference and frees the block when the last one goes.
void LStrRelease(LongString s);

// Stores `value` into `*variable`: takes a reference of its own (a constant is copied into a
// counted block) and releases what the variable held before.
void LStrAssign(LongString* variable, LongString value);

// Length in bytes (0 for null) and the characters as a view.
std::int32_t LStrLength(LongString s);
std::string_view LStrView(LongString s);

// The block header of a non-null value.
LongStringHeader* LStrHeader(LongString s);

// A constant block (count -1) over static storage, as a host's literal would be laid out.
template <std::size_t N> struct LStrConstant {
    LongStringHeader header;
    char chars[N];
    LongString value() { return chars; }
};

} // namespace rtl
