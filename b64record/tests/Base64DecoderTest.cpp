// The AVX2 decoder against the scalar one and against the decoding rule written out plainly:
// same status, same bytes, same place, on texts made to hit the vector code's corners and on
// random ones.

#include "PersData.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

using Velt_b64::Base64Decoder;
using Velt_b64::DecodeBase64With;

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The rule itself, one character and one group at a time.
std::string referenceDecode(std::string_view in, std::uint8_t& status) {
    status = 0;
    if (in.empty()) {
        status = 1;
        return {};
    }
    if (in.size() < 4 || in.size() % 4 != 0) {
        status = 2;
        return {};
    }
    auto value = [](char c) {
        const std::size_t pos = kAlphabet.find(c);
        return pos == std::string_view::npos ? 61u : static_cast<unsigned>(pos);
    };
    std::size_t pads = 0;
    for (std::size_t i = in.size(); i > 0 && in[i - 1] == '='; --i)
        ++pads;
    std::string out;
    for (std::size_t i = 0; i < in.size(); i += 4) {
        const unsigned w = value(in[i]), x = value(in[i + 1]), y = value(in[i + 2]), z = value(in[i + 3]);
        out += static_cast<char>((w * 4 + x / 16) % 256);
        out += static_cast<char>((x * 16 + y / 4) % 256);
        out += static_cast<char>((y * 64 + z) % 256);
    }
    out.resize(out.size() - std::min(pads, out.size()));
    return out;
}

struct Outcome {
    std::uint8_t status = 99;
    std::string bytes;
    bool inPlace = true;
    bool guardsKept = true;
};

// Decodes a copy of `text` lying at `offset` in a larger buffer whose other bytes are guards,
// so a store outside the text, before or after it, shows.
Outcome decode(Base64Decoder decoder, std::string_view text, std::size_t offset = 0) {
    constexpr char kGuard = '\xA5';
    constexpr std::size_t kGuardBytes = 64;
    std::vector<char> buffer(offset + text.size() + kGuardBytes, kGuard);
    std::copy(text.begin(), text.end(), buffer.begin() + static_cast<std::ptrdiff_t>(offset));
    Outcome o;
    const std::span<char> span(buffer.data() + offset, text.size());
    const std::string_view out = DecodeBase64With(decoder, span, o.status);
    o.bytes.assign(out);
    o.inPlace = out.empty() || out.data() == span.data();
    for (std::size_t i = 0; i < buffer.size(); ++i)
        if ((i < offset || i >= offset + text.size()) && buffer[i] != kGuard)
            o.guardsKept = false;
    return o;
}

// Both decoders and the rule agree on `text` at `offset`.
void expectSame(std::string_view text, std::size_t offset = 0) {
    std::uint8_t status = 98;
    const std::string expected = referenceDecode(text, status);
    const Outcome scalar = decode(Base64Decoder::Scalar, text, offset);
    const Outcome avx2 = decode(Base64Decoder::Avx2, text, offset);
    EXPECT_EQ(scalar.status, status);
    EXPECT_EQ(scalar.bytes, expected);
    EXPECT_EQ(avx2.status, status);
    EXPECT_EQ(avx2.bytes, expected);
    EXPECT_TRUE(scalar.inPlace && avx2.inPlace);
    EXPECT_TRUE(scalar.guardsKept);
    EXPECT_TRUE(avx2.guardsKept);
}

class Avx2Decoder : public testing::Test {
  protected:
    void SetUp() override {
        if (!Velt_b64::Base64DecoderAvailable(Base64Decoder::Avx2))
            GTEST_SKIP() << "this processor has no AVX2";
    }
};

TEST(ActiveBase64Decoder, IsAvx2ExactlyWhereTheProcessorHasIt) {
    EXPECT_TRUE(Velt_b64::Base64DecoderAvailable(Base64Decoder::Scalar));
#if defined(__x86_64__) || defined(__i386__)
    const bool avx2 = __builtin_cpu_supports("avx2");
#else
    const bool avx2 = false;
#endif
    EXPECT_EQ(Velt_b64::Base64DecoderAvailable(Base64Decoder::Avx2), avx2);
    EXPECT_EQ(Velt_b64::ActiveBase64Decoder(), avx2 ? Base64Decoder::Avx2 : Base64Decoder::Scalar);
}

// `count` copies of `part`.
std::string times(std::string_view part, std::size_t count) {
    std::string s;
    for (std::size_t i = 0; i < count; ++i)
        s += part;
    return s;
}

std::string with(std::string text, std::size_t pos, std::string_view bytes) {
    return text.replace(pos, bytes.size(), bytes);
}

const std::string kBlock = "QUJDREVGR0hJSktMTU5PUFFSU1RVVldY"; // 32 characters, "ABC...X"
const std::string kAll = std::string(kAlphabet) + std::string(kAlphabet.rbegin(), kAlphabet.rend());

struct EdgeCase {
    const char* name;
    std::string text;
};

void PrintTo(const EdgeCase& c, std::ostream* os) {
    *os << c.name;
}

class Avx2DecoderEdges : public testing::TestWithParam<EdgeCase> {
  protected:
    void SetUp() override {
        if (!Velt_b64::Base64DecoderAvailable(Base64Decoder::Avx2))
            GTEST_SKIP() << "this processor has no AVX2";
    }
};

TEST_P(Avx2DecoderEdges, SameAsScalar) {
    // Every alignment of the text in memory.
    for (std::size_t offset = 0; offset < 32; ++offset) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        expectSame(GetParam().text, offset);
    }
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Cases, Avx2DecoderEdges,
    testing::Values(
        EdgeCase{"Empty", ""}, EdgeCase{"BadLength31", kBlock.substr(0, 31)},
        EdgeCase{"BadLength33", kBlock + "Q"}, EdgeCase{"BadLength63", (kBlock + kBlock).substr(0, 63)},
        EdgeCase{"OneGroup", "QUJD"}, EdgeCase{"SevenGroups", kBlock.substr(0, 28)},
        EdgeCase{"OneBlock", kBlock}, EdgeCase{"BlockAndOneGroup", kBlock + "QUJD"},
        EdgeCase{"BlockAndSevenGroups", kBlock + kBlock.substr(0, 28)},
        EdgeCase{"TwoBlocks", kBlock + kBlock}, EdgeCase{"WholeAlphabetTwice", kAll},
        EdgeCase{"OnePadAtBlockEnd", kBlock.substr(0, 31) + "="},
        EdgeCase{"TwoPadsAtBlockEnd", kBlock.substr(0, 30) + "=="},
        EdgeCase{"PadsAcrossBlocks", kBlock.substr(0, 28) + "====" + "===="},
        EdgeCase{"OnlyPadding64", std::string(64, '=')},
        EdgeCase{"PadInsideBlock", with(kBlock + kBlock, 13, "=")},
        EdgeCase{"PlusAndSlash", times("+/+/", 16)}, EdgeCase{"Digits", times("0123456789", 7).substr(0, 64)},
        // Neighbours of each range, which a nibble table could take for members.
        EdgeCase{"RangeNeighbours", times("@[`{/:*,.-)", 6).substr(0, 64)},
        EdgeCase{"HighBytes", times("\x80\xC1\xDA\xE1\xFA\xFF\xAB\xAF\xB0\xB9\xF0", 6).substr(0, 64)},
        EdgeCase{"ControlBytes", times("\x01\x0B\x0F\x10\x1A\x1F\x7F"s + '\0', 8)},
        EdgeCase{"LineBreakAtLaneEdges", with(with(with(kBlock + kBlock, 15, "\n"), 16, "\r"), 31, "\n")},
        EdgeCase{"CrLfEveryGroup", times("QU\r\n", 24)}, EdgeCase{"BlanksAndTabs", times("Q \tJ", 20)},
        EdgeCase{"CrLfAtTheEnd", kBlock + "Zm9vYg==\r\n\r\n"},
        EdgeCase{"LineBreakAtTheEnd", kBlock + kBlock + "QUJ\n"},
        EdgeCase{"LongWithPads", times(kBlock, 40) + "QUJDRA=="}),
    [](const testing::TestParamInfo<EdgeCase>& info) { return std::string(info.param.name); });

// Each of the 256 byte values at each position of two blocks, the rest ordinary text: every
// byte goes through every lane position of the vector code and of the scalar tail.
TEST_F(Avx2Decoder, EveryByteAtEveryPosition) {
    const std::string base = kBlock + kBlock + "QUJDREVG";
    for (std::size_t pos = 0; pos < base.size(); ++pos)
        for (int c = 0; c < 256; ++c) {
            const std::string text = with(base, pos, std::string(1, static_cast<char>(c)));
            const Outcome scalar = decode(Base64Decoder::Scalar, text);
            const Outcome avx2 = decode(Base64Decoder::Avx2, text);
            ASSERT_EQ(avx2.bytes, scalar.bytes) << "byte " << c << " at " << pos;
            ASSERT_EQ(avx2.status, scalar.status);
            ASSERT_TRUE(avx2.guardsKept);
        }
}

// Random texts of every kind of length and content, at random places in memory.
TEST_F(Avx2Decoder, RandomTextsAsScalar) {
    std::mt19937 rng(4101);
    auto pick = [&](unsigned n) { return static_cast<unsigned>(rng() % n); };
    for (int round = 0; round < 3000; ++round) {
        // Mostly multiples of 4 (the only ones that decode), now and then any length.
        std::size_t length = pick(10) == 0 ? pick(300) : 4 * pick(120);
        std::string text(length, 'A');
        // Some texts nearly all alphabet, some nearly all noise.
        const unsigned noise = pick(4) == 0 ? 60 : 5;
        for (char& c : text) {
            const unsigned kind = pick(100);
            if (kind < noise)
                c = static_cast<char>(pick(256));
            else if (kind < noise + 3)
                c = "=\r\n \t"[pick(5)];
            else
                c = kAlphabet[pick(64)];
        }
        // Now and then one or two "=" at the end.
        if (length >= 2 && pick(3) == 0) {
            text[length - 1] = '=';
            if (pick(2))
                text[length - 2] = '=';
        }
        SCOPED_TRACE("round " + std::to_string(round));
        expectSame(text, pick(64));
        if (testing::Test::HasFailure())
            return;
    }
}

// A large text, as the record files are, decoded in one piece.
TEST_F(Avx2Decoder, LargeTextAsScalar) {
    std::mt19937 rng(1250);
    std::string text(3 * 1024 * 1024 + 4 * 5, 'A');
    for (char& c : text)
        c = kAlphabet[rng() % 64];
    text[text.size() / 2] = '\n';
    text[text.size() - 1] = '=';
    const Outcome scalar = decode(Base64Decoder::Scalar, text, 7);
    const Outcome avx2 = decode(Base64Decoder::Avx2, text, 7);
    EXPECT_EQ(avx2.status, 0);
    EXPECT_EQ(avx2.bytes.size(), text.size() / 4 * 3 - 1);
    EXPECT_TRUE(avx2.bytes == scalar.bytes);
    EXPECT_TRUE(avx2.guardsKept);
}

} // namespace
