#include "PersData.h"
#include <Base64Encode.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

using Velt_b64::Base64CharValue;
using Velt_b64::Base64Decoder;
using Velt_b64::Base64DecoderAvailable;
using Velt_b64::DecodeBase64;
using Velt_b64::DecodeBase64With;

namespace {

using vltest::Base64Encode;

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

TEST(Base64CharValue, EveryByteIsItsAlphabetPositionOr61) {
    for (int c = 0; c < 256; ++c) {
        const std::size_t pos = kAlphabet.find(static_cast<char>(c));
        const int expected = pos == std::string_view::npos ? 61 : static_cast<int>(pos);
        EXPECT_EQ(Base64CharValue(static_cast<char>(c)), expected) << "byte " << c;
    }
}

TEST(Base64CharValue, PaddingAndBreaksCountAs61) {
    EXPECT_EQ(Base64CharValue('='), 61);
    EXPECT_EQ(Base64CharValue('\n'), 61);
    EXPECT_EQ(Base64CharValue(' '), 61);
    EXPECT_EQ(Base64CharValue('9'), 61); // the real 61
    EXPECT_EQ(Base64CharValue('A'), 0);
    EXPECT_EQ(Base64CharValue('/'), 63);
}

struct DecodeCase {
    const char* name;
    std::string_view input;
    std::string_view expected;
    int status;
};

class DecodeBase64Table : public testing::TestWithParam<DecodeCase> {};

// Each case through DecodeBase64 and through every decoder this processor can run.
TEST_P(DecodeBase64Table, DecodesExactly) {
    const DecodeCase& c = GetParam();
    std::uint8_t status = 99;
    std::string text(c.input);
    const std::string_view out = DecodeBase64(text, status);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(out, c.expected);
    if (!out.empty()) {
        EXPECT_EQ(out.data(), text.data()); // decoded where the text lay
    }
    for (const Base64Decoder decoder : {Base64Decoder::Scalar, Base64Decoder::Avx2}) {
        if (!Base64DecoderAvailable(decoder))
            continue;
        SCOPED_TRACE(decoder == Base64Decoder::Scalar ? "scalar" : "AVX2");
        std::uint8_t own = 99;
        std::string copy(c.input);
        EXPECT_EQ(DecodeBase64With(decoder, copy, own), c.expected);
        EXPECT_EQ(own, c.status);
    }
}

using namespace std::string_view_literals;

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeBase64Table,
    testing::Values(DecodeCase{"Empty", "", "", 1}, DecodeCase{"OneChar", "Q", "", 2},
                    DecodeCase{"TwoChars", "QQ", "", 2}, DecodeCase{"ThreeChars", "QUJ", "", 2},
                    DecodeCase{"FiveChars", "QUJDR", "", 2}, DecodeCase{"SevenChars", "QUJDRA=", "", 2},
                    // RFC 4648 section 10.
                    DecodeCase{"Rfc_f", "Zg==", "f", 0}, DecodeCase{"Rfc_fo", "Zm8=", "fo", 0},
                    DecodeCase{"Rfc_foo", "Zm9v", "foo", 0}, DecodeCase{"Rfc_foob", "Zm9vYg==", "foob", 0},
                    DecodeCase{"Rfc_fooba", "Zm9vYmE=", "fooba", 0},
                    DecodeCase{"Rfc_foobar", "Zm9vYmFy", "foobar", 0},
                    DecodeCase{"NoPadding", "QTtCO0M7RDtFO0Y7R0g7", "A;B;C;D;E;F;GH;", 0},
                    DecodeCase{"OnePad", "QTtCO0M7RDtFO0Y7R0hJSjs=", "A;B;C;D;E;F;GHIJ;", 0},
                    DecodeCase{"TwoPads", "QTtCO0M7RDtFO0Y7R0hJOw==", "A;B;C;D;E;F;GHI;", 0},
                    DecodeCase{"HighBytes", "/+7dzA==", "\xFF\xEE\xDD\xCC"sv, 0},
                    DecodeCase{"ZeroBytes", "AAAA", "\0\0\0"sv, 0},
                    // Only "=": every byte dropped, still a success.
                    DecodeCase{"AllPadding", "====", "", 0}, DecodeCase{"AllPadding8", "========", "", 0},
                    // Three trailing "=" drop three bytes: "A===" decodes to 03 DF 7D, then all go.
                    DecodeCase{"ThreePads", "QUJDA===", "ABC", 0},
                    // A "=" inside and a character outside the alphabet both count as 61 (111101).
                    DecodeCase{"InnerPad", "QQ==QUJD", "A\x0F}ABC"sv, 0},
                    DecodeCase{"LineBreakInside", "QUJ\nQUJD", "AB}ABC"sv, 0},
                    DecodeCase{"TrailingLineBreak", "QUJD\nAAA", "ABC\xF4\x00\x00"sv, 0}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

// Every length of random bytes, so that the word stores of the inner groups and the byte
// stores of the last one meet at every padding.
TEST(DecodeBase64, RoundTripsEveryLengthUpTo600) {
    std::mt19937 rng(1250);
    for (std::size_t length = 1; length <= 600; ++length) {
        std::string bytes(length, '\0');
        for (char& b : bytes)
            b = static_cast<char>(rng() & 0xFF);
        std::uint8_t status = 99;
        std::string text = Base64Encode(bytes);
        EXPECT_EQ(DecodeBase64(text, status), bytes) << "length " << length;
        EXPECT_EQ(status, 0);
    }
}

} // namespace
