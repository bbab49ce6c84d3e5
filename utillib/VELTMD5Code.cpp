#include "VELTMD5Code.h"

#include "vl_lib32.h"

#include <VL_LIB32.h>
#include <runtime/Export.h>

#include <cstring>

namespace VL_LIB32 {

namespace {

const std::uint8_t Padding[64] = {0x80};
const char HexDigits[] = "0123456789abcdef";

inline std::uint32_t RotateLeft(std::uint32_t x, int s) {
    return (x << s) | (x >> (32 - s));
}

// Block words are little-endian whatever the host's byte order.
inline std::uint32_t LoadWord(const std::uint8_t* p) {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    w = __builtin_bswap32(w);
#endif
    return w;
}

inline void StoreWord(std::uint8_t* p, std::uint32_t w) {
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    w = __builtin_bswap32(w);
#endif
    std::memcpy(p, &w, 4);
}

// The auxiliary functions, arranged so that the newest word (x in F, I; the b operand of each
// step) enters last: the other operands are ready earlier, which shortens the chain between
// steps. G is split into two disjoint halves that are added separately for the same reason.
#define MD5_F(x, y, z) ((((y) ^ (z)) & (x)) ^ (z))
#define MD5_H(x, y, z) ((x) ^ ((y) ^ (z)))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))

#define MD5_FF(a, b, c, d, x, s, ac)                                                                         \
    a += (x) + (ac);                                                                                         \
    a += MD5_F(b, c, d);                                                                                     \
    a = RotateLeft(a, s) + (b)
#define MD5_GG(a, b, c, d, x, s, ac)                                                                         \
    a += (x) + (ac) + ((c) & ~(d));                                                                          \
    a += (b) & (d);                                                                                          \
    a = RotateLeft(a, s) + (b)
#define MD5_HH(a, b, c, d, x, s, ac)                                                                         \
    a += (x) + (ac);                                                                                         \
    a += MD5_H(b, c, d);                                                                                     \
    a = RotateLeft(a, s) + (b)
#define MD5_II(a, b, c, d, x, s, ac)                                                                         \
    a += (x) + (ac);                                                                                         \
    a += MD5_I(b, c, d);                                                                                     \
    a = RotateLeft(a, s) + (b)

// One 64-byte block into the state.
void MD5Transform(std::uint32_t state[4], const std::uint8_t* block) {
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    const std::uint32_t x0 = LoadWord(block + 0), x1 = LoadWord(block + 4), x2 = LoadWord(block + 8),
                        x3 = LoadWord(block + 12), x4 = LoadWord(block + 16), x5 = LoadWord(block + 20),
                        x6 = LoadWord(block + 24), x7 = LoadWord(block + 28), x8 = LoadWord(block + 32),
                        x9 = LoadWord(block + 36), x10 = LoadWord(block + 40), x11 = LoadWord(block + 44),
                        x12 = LoadWord(block + 48), x13 = LoadWord(block + 52), x14 = LoadWord(block + 56),
                        x15 = LoadWord(block + 60);

    // Round 1
    MD5_FF(a, b, c, d, x0, 7, 0xd76aa478);
    MD5_FF(d, a, b, c, x1, 12, 0xe8c7b756);
    MD5_FF(c, d, a, b, x2, 17, 0x242070db);
    MD5_FF(b, c, d, a, x3, 22, 0xc1bdceee);
    MD5_FF(a, b, c, d, x4, 7, 0xf57c0faf);
    MD5_FF(d, a, b, c, x5, 12, 0x4787c62a);
    MD5_FF(c, d, a, b, x6, 17, 0xa8304613);
    MD5_FF(b, c, d, a, x7, 22, 0xfd469501);
    MD5_FF(a, b, c, d, x8, 7, 0x698098d8);
    MD5_FF(d, a, b, c, x9, 12, 0x8b44f7af);
    MD5_FF(c, d, a, b, x10, 17, 0xffff5bb1);
    MD5_FF(b, c, d, a, x11, 22, 0x895cd7be);
    MD5_FF(a, b, c, d, x12, 7, 0x6b901122);
    MD5_FF(d, a, b, c, x13, 12, 0xfd987193);
    MD5_FF(c, d, a, b, x14, 17, 0xa679438e);
    MD5_FF(b, c, d, a, x15, 22, 0x49b40821);

    // Round 2
    MD5_GG(a, b, c, d, x1, 5, 0xf61e2562);
    MD5_GG(d, a, b, c, x6, 9, 0xc040b340);
    MD5_GG(c, d, a, b, x11, 14, 0x265e5a51);
    MD5_GG(b, c, d, a, x0, 20, 0xe9b6c7aa);
    MD5_GG(a, b, c, d, x5, 5, 0xd62f105d);
    MD5_GG(d, a, b, c, x10, 9, 0x02441453);
    MD5_GG(c, d, a, b, x15, 14, 0xd8a1e681);
    MD5_GG(b, c, d, a, x4, 20, 0xe7d3fbc8);
    MD5_GG(a, b, c, d, x9, 5, 0x21e1cde6);
    MD5_GG(d, a, b, c, x14, 9, 0xc33707d6);
    MD5_GG(c, d, a, b, x3, 14, 0xf4d50d87);
    MD5_GG(b, c, d, a, x8, 20, 0x455a14ed);
    MD5_GG(a, b, c, d, x13, 5, 0xa9e3e905);
    MD5_GG(d, a, b, c, x2, 9, 0xfcefa3f8);
    MD5_GG(c, d, a, b, x7, 14, 0x676f02d9);
    MD5_GG(b, c, d, a, x12, 20, 0x8d2a4c8a);

    // Round 3
    MD5_HH(a, b, c, d, x5, 4, 0xfffa3942);
    MD5_HH(d, a, b, c, x8, 11, 0x8771f681);
    MD5_HH(c, d, a, b, x11, 16, 0x6d9d6122);
    MD5_HH(b, c, d, a, x14, 23, 0xfde5380c);
    MD5_HH(a, b, c, d, x1, 4, 0xa4beea44);
    MD5_HH(d, a, b, c, x4, 11, 0x4bdecfa9);
    MD5_HH(c, d, a, b, x7, 16, 0xf6bb4b60);
    MD5_HH(b, c, d, a, x10, 23, 0xbebfbc70);
    MD5_HH(a, b, c, d, x13, 4, 0x289b7ec6);
    MD5_HH(d, a, b, c, x0, 11, 0xeaa127fa);
    MD5_HH(c, d, a, b, x3, 16, 0xd4ef3085);
    MD5_HH(b, c, d, a, x6, 23, 0x04881d05);
    MD5_HH(a, b, c, d, x9, 4, 0xd9d4d039);
    MD5_HH(d, a, b, c, x12, 11, 0xe6db99e5);
    MD5_HH(c, d, a, b, x15, 16, 0x1fa27cf8);
    MD5_HH(b, c, d, a, x2, 23, 0xc4ac5665);

    // Round 4
    MD5_II(a, b, c, d, x0, 6, 0xf4292244);
    MD5_II(d, a, b, c, x7, 10, 0x432aff97);
    MD5_II(c, d, a, b, x14, 15, 0xab9423a7);
    MD5_II(b, c, d, a, x5, 21, 0xfc93a039);
    MD5_II(a, b, c, d, x12, 6, 0x655b59c3);
    MD5_II(d, a, b, c, x3, 10, 0x8f0ccc92);
    MD5_II(c, d, a, b, x10, 15, 0xffeff47d);
    MD5_II(b, c, d, a, x1, 21, 0x85845dd1);
    MD5_II(a, b, c, d, x8, 6, 0x6fa87e4f);
    MD5_II(d, a, b, c, x15, 10, 0xfe2ce6e0);
    MD5_II(c, d, a, b, x6, 15, 0xa3014314);
    MD5_II(b, c, d, a, x13, 21, 0x4e0811a1);
    MD5_II(a, b, c, d, x4, 6, 0xf7537e82);
    MD5_II(d, a, b, c, x11, 10, 0xbd3af235);
    MD5_II(c, d, a, b, x2, 15, 0x2ad7d2bb);
    MD5_II(b, c, d, a, x9, 21, 0xeb86d391);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

} // namespace

void MD5Init(MD5Context& context) {
    context.count[0] = context.count[1] = 0;
    context.state[0] = 0x67452301;
    context.state[1] = 0xefcdab89;
    context.state[2] = 0x98badcfe;
    context.state[3] = 0x10325476;
    std::memset(context.buffer, 0, sizeof context.buffer);
}

void MD5Update(MD5Context& context, const std::uint8_t* input, std::size_t length) {
    std::size_t index = (context.count[0] >> 3) & 0x3F;

    // The 64-bit bit count, carried into the high word.
    const std::uint64_t bits = static_cast<std::uint64_t>(length) << 3;
    const std::uint32_t low = context.count[0] + static_cast<std::uint32_t>(bits);
    if (low < context.count[0])
        ++context.count[1];
    context.count[0] = low;
    context.count[1] += static_cast<std::uint32_t>(bits >> 32);

    const std::size_t partLength = 64 - index;
    std::size_t i = 0;
    if (length >= partLength) {
        std::memcpy(&context.buffer[index], input, partLength);
        MD5Transform(context.state, context.buffer);
        // Whole blocks straight from the caller's bytes.
        for (i = partLength; i + 63 < length; i += 64)
            MD5Transform(context.state, input + i);
        index = 0;
    }
    if (length > i)
        std::memcpy(&context.buffer[index], input + i, length - i);
}

void MD5Final(std::uint8_t digest[16], MD5Context& context) {
    // The padding (0x80, then zeros to 56 mod 64) and the bit count, least significant byte
    // first, laid into the buffer in place: the same bytes the RFC feeds through update.
    std::size_t index = (context.count[0] >> 3) & 0x3F;
    context.buffer[index++] = Padding[0];
    if (index > 56) {
        std::memset(&context.buffer[index], 0, 64 - index);
        MD5Transform(context.state, context.buffer);
        index = 0;
    }
    std::memset(&context.buffer[index], 0, 56 - index);
    StoreWord(&context.buffer[56], context.count[0]);
    StoreWord(&context.buffer[60], context.count[1]);
    MD5Transform(context.state, context.buffer);

    for (int i = 0; i < 4; ++i)
        StoreWord(digest + 4 * i, context.state[i]);

    // Nothing of the message stays behind in the caller's memory.
    explicit_bzero(&context, sizeof context);
}

DigestText DigestToHex(const std::uint8_t digest[16]) {
    DigestText text;
    for (int i = 0; i < 16; ++i) {
        text[2 * i] = HexDigits[digest[i] >> 4];
        text[2 * i + 1] = HexDigits[digest[i] & 0x0F];
    }
    return text;
}

DigestText MD5Text(std::string_view bytes) {
    MD5Context context;
    std::uint8_t digest[16];
    MD5Init(context);
    MD5Update(context, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    MD5Final(digest, context);
    return DigestToHex(digest);
}

} // namespace VL_LIB32

using namespace VL_LIB32;

VL_EXPORT void VL_STDCALL DeMD5String(rtl::LongString* result, rtl::LongString Text) {
    Guarded([&] {
        StringArg text(Text);
        const DigestText digest = MD5Text(text.View());
        StoreResult(result, std::string_view(digest.data(), digest.size()));
    });
}

VL_EXPORT std::uint8_t VL_STDCALL VbMD5String(const char* Text, char* Buffer) {
    return Guarded<std::uint8_t>(0, [&]() -> std::uint8_t {
        const std::string_view text = TextArg(Text);
        if (text.empty() || !Buffer)
            return 0;
        const DigestText digest = MD5Text(text);
        std::memcpy(Buffer, digest.data(), digest.size());
        Buffer[digest.size()] = '\0';
        return 1;
    });
}
