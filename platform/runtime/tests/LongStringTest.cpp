#include <runtime/LongString.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace rtl;

TEST(LongString, LayoutCountAndLength) {
    LongString s = LStrNew(std::string_view("ab\0c", 4));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(LStrHeader(s)->refCount, 1);
    EXPECT_EQ(LStrHeader(s)->length, 4);
    EXPECT_EQ(std::memcmp(s - 4, "\x04\0\0\0", 4), 0); // length right before the characters
    EXPECT_EQ(s[4], '\0');
    EXPECT_EQ(LStrView(s), std::string_view("ab\0c", 4));
    LStrRelease(s);
    EXPECT_EQ(LStrNew(""), nullptr);
    EXPECT_EQ(LStrLength(nullptr), 0);
}

TEST(LongString, AssignReleasesOldAndCopiesConstants) {
    LongString var = LStrNew("old");
    LongString keep = var;
    LStrAddRef(keep); // a second holder of the old block
    LongString fresh = LStrNew("new");
    LStrAssign(&var, fresh);
    EXPECT_EQ(LStrHeader(keep)->refCount, 1); // old count down by one
    EXPECT_EQ(LStrHeader(fresh)->refCount, 2);
    EXPECT_EQ(var, fresh);
    LStrRelease(keep);
    LStrRelease(fresh);

    static LStrConstant<4> constant{{-1, 3}, "abc"};
    LStrAssign(&var, constant.value());
    EXPECT_NE(var, constant.value()); // a counted copy
    EXPECT_EQ(LStrView(var), "abc");
    EXPECT_EQ(LStrHeader(var)->refCount, 1);
    EXPECT_EQ(constant.header.refCount, -1);
    LStrAssign(&var, nullptr);
    EXPECT_EQ(var, nullptr);
}
