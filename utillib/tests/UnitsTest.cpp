// The library's units from the inside: the MD5 engine's update/final rules, the random draw and
// its name format, and the registry root table.

#include "VELTMD5Code.h"
#include "VELTWin32Code.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace VL_LIB32;

namespace {

std::string Hex(MD5Context& context) {
    std::uint8_t digest[16];
    MD5Final(digest, context);
    const DigestText text = DigestToHex(digest);
    return std::string(text.data(), text.size());
}

TEST(MD5Engine, UpdatesInPiecesGiveTheOneShotDigest) {
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += static_cast<char>(i * 37 + 11);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const DigestText digest = MD5Text(text);
    const std::string whole(digest.data(), digest.size());
    // Every split point, so each buffer fill level meets every tail length.
    for (std::size_t split = 0; split <= text.size(); ++split) {
        MD5Context context;
        MD5Init(context);
        MD5Update(context, bytes, split);
        MD5Update(context, bytes + split, 0);
        MD5Update(context, bytes + split, text.size() - split);
        ASSERT_EQ(Hex(context), whole) << "split at " << split;
    }
}

TEST(MD5Engine, CountCarriesIntoTheHighWord) {
    MD5Context context;
    MD5Init(context);
    context.count[0] = 0xFFFFFFF8; // one byte short of a carry
    const std::uint8_t bytes[2] = {'x', 'y'};
    MD5Update(context, bytes, 2);
    EXPECT_EQ(context.count[0], 8u);
    EXPECT_EQ(context.count[1], 1u);
}

TEST(MD5Engine, FinalClearsTheWholeContext) {
    MD5Context context;
    MD5Init(context);
    MD5Update(context, reinterpret_cast<const std::uint8_t*>("secret text"), 11);
    std::uint8_t digest[16];
    MD5Final(digest, context);
    MD5Context zero;
    std::memset(&zero, 0, sizeof zero);
    EXPECT_EQ(std::memcmp(&context, &zero, sizeof zero), 0);
}

TEST(MD5Engine, DigestToHexIsLowerCaseHighNibbleFirst) {
    std::uint8_t digest[16];
    for (int i = 0; i < 16; ++i)
        digest[i] = static_cast<std::uint8_t>(i * 17 == 0 ? 0x0A : i * 17); // 0a 11 22 ... ff
    const DigestText text = DigestToHex(digest);
    EXPECT_EQ(std::string_view(text.data(), text.size()), "0a112233445566778899aabbccddeeff");
}

struct DrawCase {
    std::uint32_t seed;
    std::uint32_t nextSeed;
    std::int32_t number;
};

TEST(Random, LinearCongruentialStepAndUpperBitsOfTheProduct) {
    const DrawCase cases[] = {
        {0x00000000, 0x00000001, 0},    {0x00000001, 0x08088406, 313},  {0x12345678, 0xCB5B9059, 7942},
        {0xFFFFFFFF, 0xF7F77BFC, 9685}, {0x4D60AE66, 0xFFFFFFFF, 9998}, // the largest draw below 9999
    };
    for (const DrawCase& c : cases) {
        RandSeed = c.seed;
        EXPECT_EQ(Random(9999), c.number) << std::hex << c.seed;
        EXPECT_EQ(RandSeed, c.nextSeed) << std::hex << c.seed;
    }
}

TEST(Random, NamesAreFourUpperCaseHexDigits) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0000"}, {10, "000A"}, {255, "00FF"}, {4096, "1000"}, {9998, "270E"},
    };
    for (const auto& [number, name] : cases)
        EXPECT_EQ(HexName(number), name);
}

TEST(Registry, RootIndexTableComparesUnsigned) {
    const std::pair<std::int32_t, win::HKEY> cases[] = {
        {0, win::HKEY_CLASSES_ROOT},     {1, win::HKEY_CURRENT_USER},
        {2, win::HKEY_LOCAL_MACHINE},    {3, win::HKEY_USERS},
        {4, win::HKEY_PERFORMANCE_DATA}, {5, win::HKEY_CURRENT_CONFIG},
        {6, win::HKEY_DYN_DATA},         {7, win::HKEY_CURRENT_USER},
        {-1, win::HKEY_CURRENT_USER},    {INT32_MIN, win::HKEY_CURRENT_USER},
    };
    for (const auto& [index, root] : cases)
        EXPECT_EQ(RootKey(index), root) << index;
}

} // namespace
