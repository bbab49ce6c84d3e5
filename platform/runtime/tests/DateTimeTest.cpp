#include <runtime/DateTime.h>
#include <runtime/Exceptions.h>

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <vector>

using namespace rtl;

namespace {

TEST(DateTime, DayNumbersOfKnownDays) {
    struct Case {
        int y, m, d;
        std::int64_t day;
    } cases[] = {
        {1899, 12, 30, 0},   {1899, 12, 31, 1},       {1900, 1, 1, 2},      {1970, 1, 1, 25569},
        {2000, 1, 1, 36526}, {2003, 5, 12, 37753},    {2024, 2, 29, 45351}, {2024, 3, 5, 45356},
        {1, 1, 1, -693593},  {9999, 12, 31, 2958465},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d);
        EXPECT_EQ(DayNumber(c.y, c.m, c.d), c.day);
        int y, m, d;
        CalendarDay(c.day, y, m, d);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(m, c.m);
        EXPECT_EQ(d, c.d);
    }
}

TEST(DateTime, EveryDayOfFourCenturiesRoundTrips) {
    int y = 1900, m = 1, d = 1;
    for (std::int64_t n = DayNumber(1900, 1, 1); n < DayNumber(2300, 1, 1); ++n) {
        int cy, cm, cd;
        CalendarDay(n, cy, cm, cd);
        ASSERT_EQ(cy * 10000 + cm * 100 + cd, y * 10000 + m * 100 + d) << n;
        if (++d > DaysInMonth(y, m)) {
            d = 1;
            if (++m > 12)
                m = 1, ++y;
        }
    }
}

TEST(DateTime, ValidDatesAndLeapYears) {
    EXPECT_TRUE(IsValidDate(2000, 2, 29));
    EXPECT_FALSE(IsValidDate(1900, 2, 29));
    EXPECT_TRUE(IsValidDate(2024, 2, 29));
    EXPECT_FALSE(IsValidDate(2003, 2, 29));
    EXPECT_FALSE(IsValidDate(2003, 2, 30));
    EXPECT_FALSE(IsValidDate(2003, 4, 31));
    EXPECT_FALSE(IsValidDate(2003, 13, 1));
    EXPECT_FALSE(IsValidDate(2003, 0, 1));
    EXPECT_FALSE(IsValidDate(2003, 1, 0));
    EXPECT_FALSE(IsValidDate(0, 1, 1));
    EXPECT_FALSE(IsValidDate(10000, 1, 1));
    EXPECT_EQ(DaysInMonth(2003, 13), 0);
}

TEST(DateTime, EncodeAndDecode) {
    EXPECT_EQ(EncodeDate(2003, 5, 12), 37753.0);
    EXPECT_THROW(
        {
            try {
                EncodeDate(2003, 2, 30);
            } catch (const EConvertError& e) {
                EXPECT_STREQ(e.what(), "Invalid argument to date encode");
                throw;
            }
        },
        EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0), EConvertError);
    const TDateTime t = EncodeDateTime(2024, 12, 10, 14, 3, 5, 250);
    int y, m, d, h, n, s, ms;
    DecodeDate(t, y, m, d);
    DecodeTime(t, h, n, s, ms);
    EXPECT_EQ((std::vector<int>{y, m, d, h, n, s, ms}), (std::vector<int>{2024, 12, 10, 14, 3, 5, 250}));
    // The last instant of a day stays in that day.
    DecodeTime(45291.99999999999, h, n, s, ms);
    EXPECT_EQ((std::vector<int>{h, n, s, ms}), (std::vector<int>{23, 59, 59, 999}));
}

TEST(DateTime, TodayIsTheLocalCalendarDay) {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    const TDateTime today = Date();
    EXPECT_EQ(today, std::trunc(today));
    int y, m, d;
    DecodeDate(today, y, m, d);
    EXPECT_EQ(y, tm.tm_year + 1900);
    EXPECT_EQ(m, tm.tm_mon + 1);
    EXPECT_EQ(d, tm.tm_mday);
    EXPECT_EQ(CurrentYear(), tm.tm_year + 1900);
    EXPECT_GE(Now(), today);
    EXPECT_LT(Now(), today + 1);
}

TEST(DateTime, FormatWithFixedPatterns) {
    struct Case {
        const char* pattern;
        TDateTime value;
        const char* text;
    } cases[] = {
        {"dd/mm/yy", EncodeDate(2003, 5, 7), "07/05/03"},
        {"dd/mm/yy", EncodeDate(1999, 12, 31), "31/12/99"},
        {"dd/mm/yy", EncodeDate(2100, 1, 1), "01/01/00"},
        {"dd.mm.yyyy", 45356.75, "05.03.2024"},
        {"dd.mm.yyyy", 1.0, "31.12.1899"},
        {"d.m.yyyy", EncodeDate(2003, 5, 7), "7.5.2003"},
        {"yyyy-mm-dd hh:nn:ss", EncodeDateTime(2024, 12, 10, 4, 3, 5), "2024-12-10 04:03:05"},
        {"h:n:s", EncodeDateTime(2024, 12, 10, 4, 3, 5), "4:3:5"},
        {"[dd]", EncodeDate(2003, 5, 7), "[07]"},
        {"", EncodeDate(2003, 5, 7), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatDateTime(c.pattern, c.value), c.text) << c.pattern;
}

// The "yy/mm/dd" rules, read in a fixed year so that the century window is known.
TEST(DateTime, ReadsYearMonthDayByTheFixedPattern) {
    struct Case {
        const char* text;
        int y, m, d; // 0: not a valid date
    } cases[] = {
        {"2003/5/7", 2003, 5, 7},
        {"2003/05/12", 2003, 5, 12},
        {"03/05/12", 2003, 5, 12},
        {"3/5/12", 2003, 5, 12},
        {"80/1/1", 1980, 1, 1},
        {"76/1/1", 1976, 1, 1},
        {"75/1/1", 2075, 1, 1},
        {"0003/5/12", 3, 5, 12},
        {"5/12", 2026, 5, 12},
        {" 2003 / 5 / 7 ", 2003, 5, 7},
        {"2003/5/7/", 2003, 5, 7},
        {"2003/5/7/  ", 2003, 5, 7},
        {"2000/2/29", 2000, 2, 29},
        {"2003/02/30", 0, 0, 0},
        {"12.05.2003", 0, 0, 0},
        {"2003-05-12", 0, 0, 0},
        {"", 0, 0, 0},
        {"   ", 0, 0, 0},
        {"2003", 0, 0, 0},
        {"2003/5/7//", 0, 0, 0},
        {"2003/5/", 0, 0, 0},
        {"5/12/", 0, 0, 0},
        {"2003/5/7 x", 0, 0, 0},
        {"12345/1/1", 0, 0, 0},
        {"2003/\t5/7", 0, 0, 0},
        {"2003/13/1", 0, 0, 0},
        {"-3/5/12", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TDateTime date = -1;
        const bool ok = TryStrToDate(c.text, "yy/mm/dd", '/', 2026, date);
        EXPECT_EQ(ok, c.y != 0);
        if (c.y != 0 && ok) {
            EXPECT_EQ(date, static_cast<TDateTime>(DayNumber(c.y, c.m, c.d)));
        }
    }
}

TEST(DateTime, TwoDigitYearsFollowTheCurrentYear) {
    struct Case {
        int currentYear;
        const char* text;
        int year;
    } cases[] = {
        {2026, "80/1/1", 1980}, {2030, "80/1/1", 1980}, {2031, "80/1/1", 2080}, {1999, "49/1/1", 1949},
        {1999, "48/1/1", 2048}, {1999, "50/1/1", 1950}, {2026, "5/12", 2026},
    };
    for (const Case& c : cases) {
        TDateTime date = 0;
        ASSERT_TRUE(TryStrToDate(c.text, "yy/mm/dd", '/', c.currentYear, date)) << c.text;
        int y, m, d;
        DecodeDate(date, y, m, d);
        EXPECT_EQ(y, c.year) << c.text << " in " << c.currentYear;
    }
}

TEST(DateTime, OtherOrdersOfTheNumbers) {
    TDateTime date = 0;
    ASSERT_TRUE(TryStrToDate("12.05.2003", "dd.mm.yyyy", '.', 2026, date));
    EXPECT_EQ(date, EncodeDate(2003, 5, 12));
    ASSERT_TRUE(TryStrToDate("05/12/03", "mm/dd/yy", '/', 2026, date));
    EXPECT_EQ(date, EncodeDate(2003, 5, 12));
    ASSERT_TRUE(TryStrToDate("12.05", "dd.mm.yyyy", '.', 2026, date));
    EXPECT_EQ(date, EncodeDate(2026, 5, 12));
}

TEST(DateTime, StrToDateRaisesTheConversionError) {
    EXPECT_EQ(StrToDate("2003/5/7", "yy/mm/dd", '/'), EncodeDate(2003, 5, 7));
    int y, m, d;
    DecodeDate(StrToDate("5/12", "yy/mm/dd", '/'), y, m, d);
    EXPECT_EQ(y, CurrentYear());
    for (const char* bad : {"12.05.2003", "2003/02/30", ""}) {
        try {
            StrToDate(bad, "yy/mm/dd", '/');
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid date");
        }
    }
}

} // namespace
