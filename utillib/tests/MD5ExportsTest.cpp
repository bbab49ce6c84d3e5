#include "HostLibrary.h"

#include <runtime/Cp1250.h>

#include <vector>

using namespace hosttest;
using rtl::operator""_w;

namespace {

class MD5Exports : public ::testing::Test {
  protected:
    HostLibrary library;
    decltype(&::DeMD5String) deMD5 = library.Export<decltype(::DeMD5String)>("DeMD5String");
    decltype(&::VbMD5String) vbMD5 = library.Export<decltype(::VbMD5String)>("VbMD5String");

    std::string De(std::string_view bytes) {
        HostVariable text(bytes);
        HostVariable result;
        deMD5(&result.value, text.value);
        if (text.value) {
            EXPECT_EQ(Count(text.value), 1);
        }
        EXPECT_NE(result.value, nullptr);
        if (!result.value)
            return {};
        EXPECT_EQ(Count(result.value), 1);
        EXPECT_EQ(result.value[Length(result.value)], '\0');
        return std::string(result.View());
    }

    std::string Vb(const char* text) {
        char buffer[40];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(vbMD5(text, buffer), 1);
        EXPECT_EQ(buffer[32], '\0');
        EXPECT_EQ(std::string_view(buffer + 33, 7), "#######"); // exactly 33 bytes written
        return std::string(buffer, 32);
    }
};

struct DigestCase {
    std::string text;
    const char* digest;
};

// RFC 1321's test suite, then the block-boundary lengths (55 fits one final block, 56..63 need a
// second, 64/65 transform a whole block during the update), then single-byte letters.
const std::vector<DigestCase>& DigestCases() {
    static const std::vector<DigestCase> cases = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
        {std::string(127, 'a'), "020406e1d05cdc2aa287641f7ae2cc39"},
        {std::string(128, 'a'), "e510683b3f5ffe4093d021808bc6ff70"},
        {std::string(129, 'a'), "b325dc1c6f5e7a2b7cf465b9feab7948"},
        {"ABC", "902fbdd2b1df0c4f70b4a5d23525e932"},
        {"Zażółć gęślą jaźń"_w, "4a8c3a1dbd87b7b85a7de5f8a53bb0a1"},
    };
    return cases;
}

TEST_F(MD5Exports, DeDigestsMatchKnownValues) {
    for (const DigestCase& c : DigestCases())
        EXPECT_EQ(De(c.text), c.digest) << "length " << c.text.size();
}

TEST_F(MD5Exports, VbDigestsMatchKnownValues) {
    for (const DigestCase& c : DigestCases()) {
        if (!c.text.empty()) {
            EXPECT_EQ(Vb(c.text.c_str()), c.digest) << "length " << c.text.size();
        }
    }
}

TEST_F(MD5Exports, ZeroByteInsideCountedTextIsHashedButEndsTheNulTerminatedText) {
    const std::string_view bytes("abc\0def", 7);
    EXPECT_EQ(De(bytes), "a5e4d5963ae44c1f4bfb37b1a3d55a3c");
    EXPECT_EQ(Vb(bytes.data()), "900150983cd24fb0d6963f7d28e17f72"); // "abc"
}

TEST_F(MD5Exports, EmptyAndNullTextsForVbReturnFalseAndLeaveTheBuffer) {
    for (const char* text : {static_cast<const char*>(nullptr), ""}) {
        char buffer[40];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(vbMD5(text, buffer), 0);
        EXPECT_EQ(std::string_view(buffer, sizeof buffer), std::string(40, '#'));
    }
}

TEST_F(MD5Exports, ResultReplacesTheVariablesOldString) {
    HostVariable text("abc");
    char* old = HostString("old value");
    char* alsoHeld = old; // a second holder of the old block
    std::int32_t two = 2;
    std::memcpy(old - 8, &two, 4);
    char* variable = old;
    deMD5(&variable, text.value);
    EXPECT_EQ(Count(alsoHeld), 1); // the variable's reference went, the other stays
    EXPECT_EQ(View(alsoHeld), "old value");
    EXPECT_EQ(View(variable), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Count(variable), 1);
    EXPECT_EQ(Count(text.value), 1); // the argument is given back unchanged
    EXPECT_EQ(text.View(), "abc");
    HostRelease(alsoHeld);
    HostRelease(variable);
}

TEST_F(MD5Exports, SameVariableAsArgumentAndResult) {
    char* variable = HostString("abc");
    deMD5(&variable, variable); // s := DeMD5String(s); the old block is freed exactly once
    EXPECT_EQ(View(variable), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Count(variable), 1);
    HostRelease(variable);
}

TEST_F(MD5Exports, ConstantArgumentIsNeitherCountedNorFreed) {
    static HostConstant constant("message digest");
    HostVariable result;
    deMD5(&result.value, constant.value());
    EXPECT_EQ(constant.count, -1);
    EXPECT_EQ(result.View(), "f96b697d7cb7938d525a2f31aaf161d0");
}

TEST_F(MD5Exports, LongTextWithManyWholeBlocks) {
    // One million "a": the RFC's long-message check, hashed in one update from the caller's bytes.
    EXPECT_EQ(De(std::string(1000000, 'a')), "7707d6ae4e027c70eea2a935c2296f21");
}

} // namespace
