#include "Base64Avx2.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <cstdint>

namespace Velt_b64 {

namespace {

// Character values by nibbles. A byte lies in the alphabet exactly when the bit of its high
// nibble's class is clear in its low nibble's entry; its value is then the byte plus the
// offset of its high nibble ("/" shares its nibble with "+" and is moved by 3 more):
//   class 0x01: high nibble 2, valid low nibbles B ("+") and F ("/"), offset 62 - '+'
//   class 0x02: high nibble 3, valid 0 to 9 ("0"-"9"), offset 52 - '0'
//   class 0x04: high nibbles 4 and 6, valid 1 to F ("A"-"O", "a"-"o"), offsets -'A', 26 - 'a'
//   class 0x08: high nibbles 5 and 7, valid 0 to A ("P"-"Z", "p"-"z"), same offsets
//   class 0x10: every other high nibble (controls, 0x80 and above), nothing valid
// Any other byte, "=" included, takes the value 61.
constexpr std::uint8_t lowNibbleInvalid(int low) {
    std::uint8_t bits = 0x10;
    if (low != 0x0B && low != 0x0F)
        bits |= 0x01;
    if (low > 9)
        bits |= 0x02;
    if (low == 0)
        bits |= 0x04;
    if (low > 0x0A)
        bits |= 0x08;
    return bits;
}

constexpr std::uint8_t kHighNibbleClass[16] = {0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08,
                                               0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10};
constexpr std::int8_t kHighNibbleOffset[16] = {0, 0, 62 - '+', 52 - '0', -'A', -'A', 26 - 'a', 26 - 'a',
                                               0, 0, 0,        0,        0,    0,    0,        0};

// A 16-entry table in both 128-bit lanes, as the byte shuffle looks up within each lane.
template <typename T> __attribute__((target("avx2"))) __m256i laneTable(const T (&entries)[16]) {
    alignas(32) std::uint8_t bytes[32];
    for (int i = 0; i < 32; ++i)
        bytes[i] = static_cast<std::uint8_t>(entries[i % 16]);
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(bytes));
}

__attribute__((target("avx2"))) __m256i lowNibbleTable() {
    std::uint8_t entries[16];
    for (int i = 0; i < 16; ++i)
        entries[i] = lowNibbleInvalid(i);
    return laneTable(entries);
}

} // namespace

__attribute__((target("avx2"))) std::size_t DecodeBlocksAvx2(const unsigned char* in, char* out,
                                                             std::size_t groups) {
    const __m256i lowInvalid = lowNibbleTable();
    const __m256i highClass = laneTable(kHighNibbleClass);
    const __m256i highOffset = laneTable(kHighNibbleOffset);
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i slash = _mm256_set1_epi8('/');
    const __m256i slashShift = _mm256_set1_epi8(-3);
    const __m256i outside = _mm256_set1_epi8(61);
    // Pairs of values to 12 bits (first x 64 + second), pairs of those to 24 bits.
    const __m256i joinPairs = _mm256_set1_epi32(0x01400140);
    const __m256i joinQuads = _mm256_set1_epi32(0x00011000);
    // Each 24-bit group, held low in a little-endian word, out high byte first; 12 bytes a
    // lane, then the two lanes' bytes side by side.
    const __m256i groupBytes = _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1, //
                                                2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    const __m256i joinLanes = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);

    const std::size_t blocks = groups / 8;
    for (std::size_t b = 0; b < blocks; ++b, in += 32, out += 24) {
        const __m256i text = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
        const __m256i high = _mm256_and_si256(_mm256_srli_epi32(text, 4), nibble);
        const __m256i low = _mm256_and_si256(text, nibble);
        const __m256i invalid =
            _mm256_and_si256(_mm256_shuffle_epi8(lowInvalid, low), _mm256_shuffle_epi8(highClass, high));
        const __m256i valid = _mm256_cmpeq_epi8(invalid, _mm256_setzero_si256());
        __m256i offset = _mm256_shuffle_epi8(highOffset, high);
        offset = _mm256_add_epi8(offset, _mm256_and_si256(_mm256_cmpeq_epi8(text, slash), slashShift));
        const __m256i values = _mm256_blendv_epi8(outside, _mm256_add_epi8(text, offset), valid);

        const __m256i pairs = _mm256_maddubs_epi16(values, joinPairs);
        const __m256i quads = _mm256_madd_epi16(pairs, joinQuads);
        const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(quads, groupBytes), joinLanes);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), bytes);
    }
    return blocks * 8;
}

} // namespace Velt_b64

#else

namespace Velt_b64 {

std::size_t DecodeBlocksAvx2(const unsigned char*, char*, std::size_t) {
    return 0;
}

} // namespace Velt_b64

#endif
