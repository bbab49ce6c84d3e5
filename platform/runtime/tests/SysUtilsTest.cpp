#include <runtime/Cp1250.h>
#include <runtime/Exceptions.h>
#include <runtime/SysUtils.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace rtl;

TEST(SysUtils, CaseRules) {
    EXPECT_EQ(AnsiUpperCase("tak"), "TAK");
    EXPECT_EQ(AnsiUpperCase("zażółć gęślą jaźń"_w), "ZAŻÓŁĆ GĘŚLĄ JAŹŃ"_w);
    EXPECT_EQ(AnsiLowerCase("ZAŻÓŁĆ"_w), "zażółć"_w);
    EXPECT_EQ(AnsiUpperCase("ß÷µ"_w), "ß÷µ"_w); // no single-byte upper case
    EXPECT_EQ(UpperCase("ząb.zip"_w), "ZąB.ZIP"_w);
    EXPECT_EQ(LowerCase("C:\\ĄB\\X.ZIP"_w), "c:\\Ąb\\x.zip"_w);
    EXPECT_TRUE(AnsiSameText("Łódź"_w, "ŁÓDŹ"_w));
    EXPECT_FALSE(AnsiSameText("abc", "abd"));
}

TEST(SysUtils, CollationIgnoresCaseAndPlacesPolishLetters) {
    EXPECT_EQ(AnsiCompareText("A.ZIP", "a.zip"), 0);
    EXPECT_LT(AnsiCompareText("A.ZIP", "b.zip"), 0);
    EXPECT_LT(AnsiCompareText("b.zip", "c.Zip"), 0);
    EXPECT_LT(AnsiCompareText("a", "ą"_w), 0);
    EXPECT_LT(AnsiCompareText("ą"_w, "b"), 0);
    EXPECT_LT(AnsiCompareText("z", "ż"_w), 0);
    EXPECT_LT(AnsiCompareText("1.zip", "a.zip"), 0);
    EXPECT_LT(AnsiCompareText("ab", "abc"), 0);
    EXPECT_LT(AnsiCompareStr("a", "A"), 0);
}

// Names in the order a sorted list shows them: digits before letters, Polish letters after their
// base letter, hyphens and apostrophes passed over until all else is equal, case twins lower first.
const std::vector<std::string> kNameOrder = {
    "!.zip",      "1.zip",     "10.zip",     "1-2.zip",   "2.zip",     "a.zip",      "A.ZIP",
    "ab.zip",     "ą.zip"_w,   "b.zip",      "can't.zip", "cant.zip",  "co.zip",     "co-op.zip",
    "coop.zip",   "cop.zip",   "czapka.zip", "Ćma.zip"_w, "d.zip",     "lody.zip",   "lzy.zip",
    "Łódź.zip"_w, "łza.zip"_w, "z.zip",      "zaba.zip",  "źle.zip"_w, "żaba.zip"_w, "ŻABA.ZIP"_w,
};

TEST(SysUtils, NamesSortInTheWordSortOrder) {
    for (std::size_t i = 0; i < kNameOrder.size(); ++i) {
        EXPECT_FALSE(AnsiNameLess(kNameOrder[i], kNameOrder[i])) << i;
        EXPECT_EQ(AnsiCompareStr(kNameOrder[i], kNameOrder[i]), 0) << i;
        for (std::size_t j = i + 1; j < kNameOrder.size(); ++j) {
            EXPECT_TRUE(AnsiNameLess(kNameOrder[i], kNameOrder[j])) << i << " " << j;
            EXPECT_FALSE(AnsiNameLess(kNameOrder[j], kNameOrder[i])) << i << " " << j;
            EXPECT_LT(AnsiCompareStr(kNameOrder[i], kNameOrder[j]), 0) << i << " " << j;
            const int text = AnsiCompareText(kNameOrder[i], kNameOrder[j]);
            if (AnsiSameText(kNameOrder[i], kNameOrder[j]))
                EXPECT_EQ(text, 0) << i << " " << j;
            else
                EXPECT_LT(text, 0) << i << " " << j;
            EXPECT_EQ(AnsiCompareText(kNameOrder[j], kNameOrder[i]), -text) << i << " " << j;
        }
    }
    // Any reading order gives the same list.
    std::vector<std::string> names(kNameOrder.rbegin(), kNameOrder.rend());
    std::rotate(names.begin(), names.begin() + 11, names.end());
    std::sort(names.begin(), names.end(), AnsiNameLess);
    EXPECT_EQ(names, kNameOrder);
}

struct CompareCase {
    std::string a, b;
    int text; // AnsiCompareText
    int str;  // AnsiCompareStr
};

TEST(SysUtils, HyphenApostropheAndCaseLevels) {
    const CompareCase cases[] = {
        {"co-op", "coop", -1, -1},  {"coop", "co-op", 1, 1},  {"CO-OP", "co-op", 0, 1},
        {"co-op", "Coop", -1, -1},  {"Co-op", "coop", -1, 1}, {"-a", "a", -1, -1},
        {"a-", "a", 1, 1},          {"'", "", 1, 1},          {"-", "'", 1, 1},
        {"a-b", "a'b", 1, 1},       {"a-c", "ab", 1, 1},      {"", "", 0, 0},
        {"źle"_w, "żle"_w, -1, -1}, {"ŻLE"_w, "żle"_w, 0, 1}, {"šum"_w, "śum"_w, 1, 1},
        {"ść"_w, "ŚĆ"_w, 0, -1},    {"a b", "a-b", -1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnsiCompareText(c.a, c.b), c.text) << c.a << " / " << c.b;
        EXPECT_EQ(AnsiCompareStr(c.a, c.b), c.str) << c.a << " / " << c.b;
    }
}

TEST(SysUtils, Trim) {
    EXPECT_EQ(Trim(std::string("\0\t a b \r\n ", 10)), "a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0"); // only codes 0 to 32
}

TEST(SysUtils, TrimOfAGivenSet) {
    struct Case {
        std::string_view text, chars, both, left, right;
    };
    using namespace std::string_view_literals;
    const Case cases[] = {
        {"", " \t", "", "", ""},
        {" \t ", " \t", "", "", ""},
        {"x", " \t", "x", "x", "x"},
        {" \tKatalog_TRN = C:\\in\t ", " \t", "Katalog_TRN = C:\\in", "Katalog_TRN = C:\\in\t ",
         " \tKatalog_TRN = C:\\in"},
        {"\r a \r", " \t", "\r a \r", "\r a \r", "\r a \r"}, // only the given characters
        {"x.zip. . ", ". ", "x.zip", "x.zip. . ", "x.zip"},
        {". .x", ". ", "x", "x", ". .x"},
        {"\0a\0"sv, "\0"sv, "a", "a\0"sv, "\0a"sv},       // a 0 byte is a character like any other
        {"  a b  ", "", "  a b  ", "  a b  ", "  a b  "}, // an empty set removes nothing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrimOf(c.text, c.chars), c.both) << c.text;
        EXPECT_EQ(TrimLeftOf(c.text, c.chars), c.left) << c.text;
        EXPECT_EQ(TrimRightOf(c.text, c.chars), c.right) << c.text;
    }
    // The result is a view into the text, not a copy.
    const std::string_view line = "  name = value";
    EXPECT_EQ(TrimLeftOf(line, " ").data(), line.data() + 2);
}

TEST(SysUtils, StrToInt) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"0", true, 0},
        {"-1", true, -1},
        {"+17", true, 17},
        {"  42", true, 42},
        {"$FF", true, 255},
        {"0x10", true, 16},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"$FFFFFFFF", true, -1},
        {"2147483648", false, 0},
        {"42 ", false, 0},
        {"", false, 0},
        {"1a", false, 0},
        {"-", false, 0},
    };
    for (const auto& c : cases) {
        if (c.ok) {
            EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
        } else {
            try {
                StrToInt(c.text);
                ADD_FAILURE() << c.text;
            } catch (const EConvertError& e) {
                EXPECT_EQ(e.Message(), std::string("'") + c.text + "' is not a valid integer value");
            }
        }
    }
    EXPECT_EQ(StrToIntDef("x", 7), 7);
    EXPECT_EQ(IntToStr(-10061), "-10061");
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
}

TEST(SysUtils, Format) {
    EXPECT_EQ(Format("%4d %%", {12}), "  12 %");
    EXPECT_EQ(Format("%4d", {12345}), "12345");
    EXPECT_EQ(Format("%4.4x", {255}), "00FF");
    EXPECT_EQ(Format("%4.4x", {9998}), "270E");
    EXPECT_EQ(Format("%d", {-5}), "-5");
    EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
    EXPECT_EQ(Format("Unable to write to %s", {"C:\\a.ini"}), "Unable to write to C:\\a.ini");
    EXPECT_EQ(Format("[%-3s]", {"a"}), "[a  ]");
    EXPECT_EQ(Format("Socket Error # %d", {10061}), "Socket Error # 10061");
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%d %d", {1}), EConvertError);
}

TEST(SysUtils, StringReplaceAll) {
    EXPECT_EQ(StringReplaceAll("a\r\nb\r\n", "\r\n", ", "), "a, b, ");
    EXPECT_EQ(StringReplaceAll("a\rb\n", "\r\n", ", "), "a\rb\n");
}
