#include "PersData.h"

#include "Base64Avx2.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace Velt_b64 {

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint8_t kNotInAlphabet = 61;

// Built by comparing each byte with the alphabet in order, so a lookup gives exactly what the
// comparison would.
constexpr std::array<std::uint8_t, 256> kValues = [] {
    std::array<std::uint8_t, 256> values{};
    for (int c = 0; c < 256; ++c) {
        values[c] = kNotInAlphabet;
        for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
            if (static_cast<unsigned char>(kAlphabet[i]) == c) {
                values[c] = static_cast<std::uint8_t>(i);
                break;
            }
        }
    }
    return values;
}();

// One table per position in a group of four: each holds the character's six bits already
// placed in the three output bytes of a little-endian word, so a group is four lookups, three
// ORs and one store.
template <int Position> constexpr std::array<std::uint32_t, 256> makeGroupTable() {
    std::array<std::uint32_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        const std::uint32_t v = kValues[c];
        std::uint32_t b0 = 0, b1 = 0, b2 = 0;
        if constexpr (Position == 0) {
            b0 = (v << 2) & 0xFF;
        } else if constexpr (Position == 1) {
            b0 = v >> 4;
            b1 = (v << 4) & 0xFF;
        } else if constexpr (Position == 2) {
            b1 = v >> 2;
            b2 = (v << 6) & 0xFF;
        } else {
            b2 = v;
        }
        table[c] = b0 | (b1 << 8) | (b2 << 16);
    }
    return table;
}

constexpr auto kGroup0 = makeGroupTable<0>();
constexpr auto kGroup1 = makeGroupTable<1>();
constexpr auto kGroup2 = makeGroupTable<2>();
constexpr auto kGroup3 = makeGroupTable<3>();

inline std::uint32_t decodeGroup(const unsigned char* in) {
    return kGroup0[in[0]] | kGroup1[in[1]] | kGroup2[in[2]] | kGroup3[in[3]];
}

// Group g is read from 4g and written to 3g, never past what the next group still has to
// read, so a record needs no second buffer.
void decodeGroupsScalar(const unsigned char* in, char* out, std::size_t groups) {
    for (std::size_t g = 0; g < groups; ++g, in += 4, out += 3) {
        std::uint32_t word = decodeGroup(in);
        if constexpr (std::endian::native == std::endian::big)
            word = ((word & 0xFF) << 24) | ((word & 0xFF00) << 8) | ((word >> 8) & 0xFF00);
        std::memcpy(out, &word, 4);
    }
}

bool processorHasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    // Also false where the system does not keep the AVX registers.
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

} // namespace

std::uint8_t Base64CharValue(char c) {
    return kValues[static_cast<unsigned char>(c)];
}

bool Base64DecoderAvailable(Base64Decoder decoder) {
    switch (decoder) {
    case Base64Decoder::Scalar:
        return true;
    case Base64Decoder::Avx2: {
        static const bool available = processorHasAvx2();
        return available;
    }
    }
    return false;
}

Base64Decoder ActiveBase64Decoder() {
    return Base64DecoderAvailable(Base64Decoder::Avx2) ? Base64Decoder::Avx2 : Base64Decoder::Scalar;
}

std::string_view DecodeBase64(std::span<char> text, std::uint8_t& status) {
    return DecodeBase64With(ActiveBase64Decoder(), text, status);
}

std::string_view DecodeBase64With(Base64Decoder decoder, std::span<char> text, std::uint8_t& status) {
    status = 0;
    if (text.empty()) {
        status = 1;
        return {};
    }
    if (text.size() < 4 || text.size() % 4 != 0) {
        status = 2;
        return {};
    }

    std::size_t padding = 0;
    while (padding < text.size() && text[text.size() - 1 - padding] == '=')
        ++padding;

    const std::size_t groups = text.size() / 4;
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    char* out = text.data();
    std::size_t done = 0;
    if (decoder == Base64Decoder::Avx2 && Base64DecoderAvailable(Base64Decoder::Avx2))
        done = DecodeBlocksAvx2(in, out, groups);
    // The groups that fill no whole block.
    decodeGroupsScalar(in + 4 * done, out + 3 * done, groups - done);

    const std::size_t decoded = groups * 3;
    return {text.data(), decoded - std::min(padding, decoded)};
}

} // namespace Velt_b64
