// The host-product table and the program folder.

#include "vl_new32Hosts.h"

#include <runtime/Cp1250.h>
#include <windows/Windows.h>

#include <gtest/gtest.h>

#include <string>

using rtl::operator""_w;

namespace {

using VL_NEW32::HostProductFor;

struct ProductCase {
    const char* file;
    const char* upperValue;
    const char* inf;
    const char* rtf;
    std::string caption;
};

class HostProductTest : public ::testing::TestWithParam<ProductCase> {};

TEST_P(HostProductTest, PicksTheRow) {
    const ProductCase& c = GetParam();
    const auto* p = HostProductFor(c.file, c.upperValue);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->IniName, c.file);
    EXPECT_STREQ(p->InfName, c.inf);
    EXPECT_STREQ(p->RtfName, c.rtf);
    EXPECT_EQ(std::string(p->Caption), c.caption);
}

INSTANTIATE_TEST_SUITE_P(
    Products, HostProductTest,
    ::testing::Values(
        ProductCase{"orv.ini", "6.10", "ox6_news.inf", "ox6_news.rtf", "Wykryj nowości: Orvena 6"_w},
        ProductCase{"orv.ini", "6", "ox6_news.inf", "ox6_news.rtf", "Wykryj nowości: Orvena 6"_w},
        ProductCase{"orv.ini", "61", "ox6_news.inf", "ox6_news.rtf", "Wykryj nowości: Orvena 6"_w},
        ProductCase{"orv.ini", "8.1", "ox8_news.inf", "ox8_news.rtf", "Wykryj nowości: Orvena 8"_w},
        ProductCase{"orv.ini", "5", "ox8_news.inf", "ox8_news.rtf", "Wykryj nowości: Orvena 8"_w},
        ProductCase{"orv.ini", "V6", "ox8_news.inf", "ox8_news.rtf", "Wykryj nowości: Orvena 8"_w},
        ProductCase{"orv.ini", "", "ox8_news.inf", "ox8_news.rtf", "Wykryj nowości: Orvena 8"_w},
        ProductCase{"tal.ini", "6", "tz6_news.inf", "tz6_news.rtf", "Wykryj nowości: Talvik 6"_w},
        ProductCase{"tal.ini", " 6", "tz8_news.inf", "tz8_news.rtf", "Wykryj nowości: Talvik 8"_w},
        ProductCase{"tal.ini", "", "tz8_news.inf", "tz8_news.rtf", "Wykryj nowości: Talvik 8"_w},
        ProductCase{"corvale.ini", "ST", "kq_news.inf", "kq_news.rtf", "Wykryj nowości: Kestrin"_w},
        ProductCase{"corvale.ini", "STOMA", "pq_news.inf", "pq_news.rtf", "Wykryj nowości: Pelano"_w},
        ProductCase{"corvale.ini", "", "pq_news.inf", "pq_news.rtf", "Wykryj nowości: Pelano"_w}));

TEST(HostProducts, OnlyTheThreeFilesAreProducts) {
    EXPECT_EQ(HostProductFor("ORV.INI", "6"), nullptr);
    EXPECT_EQ(HostProductFor("vl_new32.ini", ""), nullptr);
    EXPECT_STREQ(HostProductFor("orv.ini", "6")->Key, "Wersja");
    EXPECT_STREQ(HostProductFor("corvale.ini", "")->Key, "Typ");
}

TEST(HostProducts, TheProgramFolderEndsBeforeTheProgramsName) {
    const std::string folder = VL_NEW32::ProgramFolder();
    const std::string path = win::ProgramPath();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_EQ(path.substr(0, folder.size()), folder);
    EXPECT_EQ(path.substr(folder.size()), "new32_vl_new32HostsTest");
}

} // namespace
