#include <runtime/Cp1250.h>

#include <gtest/gtest.h>

using namespace rtl;

TEST(Cp1250, LiteralGivesWindows1250Bytes) {
    EXPECT_EQ("Błąd"_w, std::string("B\xB3\xB9"
                                    "d"));
    EXPECT_EQ("Łączenie się z serwerem, proszę czekać ..."_w,
              std::string("\xA3\xB9"
                          "czenie si\xEA z serwerem, prosz\xEA czeka\xE6 ..."));
    EXPECT_EQ("ŚŻŹĆŃÓĘĄŁ śżźćńóęął"_w,
              std::string("\x8C\xAF\x8F\xC6\xD1\xD3\xCA\xA5\xA3 \x9C\xBF\x9F\xE6\xF1\xF3\xEA\xB9\xB3"));
    constexpr std::string_view v = "Plików"_wv;
    EXPECT_EQ(v, std::string_view("Plik\xF3w"));
    EXPECT_EQ(""_w, std::string());
}

TEST(Cp1250, EveryDefinedByteRoundTripsThroughUtf8) {
    for (int b = 0; b < 256; ++b) {
        std::string one(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToCp1250(cp1250ToUtf8(one)), one) << b;
    }
}

TEST(Cp1250, Utf8ConversionTable) {
    struct Case {
        const char* utf8;
        const char* cp1250;
    } cases[] = {
        {"zażółć", "za\xBF\xF3\xB3\xE6"},
        {"€", "\x80"},
        {"日本", "??"}, // characters the code page lacks
        {"a\xFF"
         "b",
         "a?b"},       // malformed UTF-8
        {"\xC5", "?"}, // truncated sequence
        {"ö ü ß", "\xF6 \xFC \xDF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8ToCp1250(c.utf8), std::string(c.cp1250)) << c.utf8;
    EXPECT_TRUE(utf8FitsCp1250("Wysyłka"));
    EXPECT_FALSE(utf8FitsCp1250("日"));
    EXPECT_EQ(cp1250ToUtf8("\xB3\xF3"), "łó");
}
