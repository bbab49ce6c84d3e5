#pragma once

// MD5 message digest (RFC 1321) and the library's MD5 exports.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace VL_LIB32 {

// RFC 1321's context: state words A, B, C, D; the bit count, low word first; a partial block.
struct MD5Context {
    std::uint32_t state[4];
    std::uint32_t count[2];
    std::uint8_t buffer[64];
};

void MD5Init(MD5Context& context);
void MD5Update(MD5Context& context, const std::uint8_t* input, std::size_t length);
// Writes the 16-byte digest and clears the whole context.
void MD5Final(std::uint8_t digest[16], MD5Context& context);

inline constexpr std::size_t DigestTextLength = 32;
using DigestText = std::array<char, DigestTextLength>;

// 32 lower-case hexadecimal digits, high nibble first.
DigestText DigestToHex(const std::uint8_t digest[16]);

// The digest text of the bytes, hashed in one update.
DigestText MD5Text(std::string_view bytes);

} // namespace VL_LIB32
