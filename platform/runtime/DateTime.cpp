#include <runtime/DateTime.h>

#include <runtime/Exceptions.h>
#include <runtime/SysUtils.h>

#include <cmath>
#include <ctime>

namespace rtl {

namespace {

constexpr std::int64_t kUnixEpochDay = 25569; // 1 January 1970 as a day number
constexpr double kMsPerDay = 86400000.0;

std::tm localNow() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return tm;
}

void twoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

void number(std::string& out, int value, bool padded) {
    if (padded && value < 10)
        out += '0';
    out += IntToStr(value);
}

// The scanner of TryStrToDate: blanks before each number and separator.
struct DateScanner {
    std::string_view text;
    std::size_t pos = 0;

    void blanks() {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
    }
    // Up to four digits; `digits` is how many were read.
    bool number(int& value, int& digits) {
        blanks();
        std::size_t i = pos;
        value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 1000) {
            value = value * 10 + (text[i] - '0');
            ++i;
        }
        if (i == pos)
            return false;
        digits = static_cast<int>(i - pos);
        pos = i;
        return true;
    }
    bool separator(char c) {
        blanks();
        if (pos < text.size() && text[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }
};

enum class Order { MDY, DMY, YMD };

Order orderOf(std::string_view pattern) {
    for (char c : pattern) {
        switch (c) {
        case 'y':
        case 'Y':
            return Order::YMD;
        case 'd':
        case 'D':
            return Order::DMY;
        case 'm':
        case 'M':
            return Order::MDY;
        default:
            break;
        }
    }
    return Order::MDY;
}

} // namespace

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

// H. Hinnant's civil-date algorithms, counted from 1 January 1970 and shifted to 30 December 1899.
std::int64_t DayNumber(int year, int month, int day) {
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + kUnixEpochDay;
}

void CalendarDay(std::int64_t dayNumber, int& year, int& month, int& day) {
    const std::int64_t z = dayNumber - kUnixEpochDay + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
    if (!IsValidDate(year, month, day))
        return false;
    date = static_cast<TDateTime>(DayNumber(year, month, day));
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date))
        throw EConvertError("Invalid argument to date encode");
    return date;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        throw EConvertError("Invalid argument to time encode");
    return ((hour * 60 + minute) * 60000.0 + second * 1000.0 + millisecond) / kMsPerDay;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, millisecond);
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    CalendarDay(static_cast<std::int64_t>(std::trunc(value)), year, month, day);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond) {
    const double fraction = std::fabs(value - std::trunc(value));
    // A fraction a hair below the next day is still that day's last millisecond.
    std::int64_t ms = std::llround(fraction * kMsPerDay);
    if (ms >= 86400000)
        ms = 86399999;
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    millisecond = static_cast<int>(ms % 1000);
}

TDateTime Date() {
    const std::tm tm = localNow();
    return static_cast<TDateTime>(DayNumber(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday));
}

TDateTime Now() {
    const std::tm tm = localNow();
    return Date() + ((tm.tm_hour * 60 + tm.tm_min) * 60 + tm.tm_sec) / 86400.0;
}

int CurrentYear() {
    return localNow().tm_year + 1900;
}

std::string FormatDateTime(std::string_view pattern, TDateTime value) {
    int year, month, day, hour, minute, second, ms;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, ms);
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        const char lower = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        switch (lower) {
        case 'y':
            if (run >= 3)
                out += IntToStr(year);
            else
                twoDigits(out, year % 100);
            i += run;
            continue;
        case 'm':
        case 'd':
        case 'h':
        case 'n':
        case 's': {
            const int v = lower == 'm'   ? month
                          : lower == 'd' ? day
                          : lower == 'h' ? hour
                          : lower == 'n' ? minute
                                         : second;
            const std::size_t take = run >= 2 ? 2 : 1;
            number(out, v, take == 2);
            i += take;
            continue;
        }
        default:
            out += c;
            ++i;
        }
    }
    return out;
}

bool TryStrToDate(std::string_view text, std::string_view pattern, char separator, int currentYear,
                  TDateTime& date) {
    const Order order = orderOf(pattern);
    DateScanner scan{text};
    int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
    if (!(scan.number(n1, l1) && scan.separator(separator) && scan.number(n2, l2)))
        return false;
    int year = 0, month = 0, day = 0;
    if (scan.separator(separator)) {
        if (!scan.number(n3, l3))
            return false;
        int yearDigits = 0;
        switch (order) {
        case Order::MDY:
            year = n3, yearDigits = l3, month = n1, day = n2;
            break;
        case Order::DMY:
            year = n3, yearDigits = l3, month = n2, day = n1;
            break;
        case Order::YMD:
            year = n1, yearDigits = l1, month = n2, day = n3;
            break;
        }
        if (yearDigits <= 2) {
            const int windowStart = currentYear - 50;
            year += windowStart / 100 * 100;
            if (year < windowStart)
                year += 100;
        }
    } else {
        year = currentYear;
        if (order == Order::DMY)
            day = n1, month = n2;
        else
            month = n1, day = n2;
    }
    scan.separator(separator);
    scan.blanks();
    if (scan.pos != text.size())
        return false;
    return TryEncodeDate(year, month, day, date);
}

TDateTime StrToDate(std::string_view text, std::string_view pattern, char separator) {
    TDateTime date = 0;
    if (!TryStrToDate(text, pattern, separator, CurrentYear(), date))
        throw EConvertError(Format("'%s' is not a valid date", {text}));
    return date;
}

} // namespace rtl
