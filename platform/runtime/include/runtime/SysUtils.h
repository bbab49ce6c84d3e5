#pragma once

// Text conversions and case rules the programs rely on, with the toolkit's own error texts.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace rtl {

// Upper and lower case by the Windows-1250 locale rules (Polish letters included).
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
char AnsiUpperChar(char c);
char AnsiLowerChar(char c);

// Upper and lower case of the ASCII letters a..z / A..Z only; every other byte stays.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);

// Case-insensitive comparisons by the locale rules.
bool AnsiSameText(std::string_view a, std::string_view b);
// Collation order with letter case ignored, as a sorted list control keeps names: <0, 0, >0.
// It is the platform's word sort: hyphens and apostrophes are passed over first ("co-op" sorts
// beside "coop", "can't" beside "cant") and decide only between texts otherwise equal, where
// they count as the punctuation they are. Polish letters follow their base letter (a < ą < b);
// 0 only for texts equal but for letter case.
int AnsiCompareText(std::string_view a, std::string_view b);
// The same order with letter case deciding between texts otherwise equal (lower case first),
// then hyphens and apostrophes, then the bytes: 0 only for equal texts.
int AnsiCompareStr(std::string_view a, std::string_view b);
// The order a sorted list of names shows: AnsiCompareText, names equal but for letter case in
// the order of AnsiCompareStr, so a listing comes out the same whatever order it was read in.
bool AnsiNameLess(std::string_view a, std::string_view b);

// Removes every leading and trailing character whose code is 0 to 32.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// The part of `s` without any of the characters of `chars` at both ends, at its start or at its
// end: for texts whose blanks are fewer than Trim's (" \t" in profile lines).
std::string_view TrimOf(std::string_view s, std::string_view chars);
std::string_view TrimLeftOf(std::string_view s, std::string_view chars);
std::string_view TrimRightOf(std::string_view s, std::string_view chars);

// Value of one hexadecimal digit (either case); -1 for any other character.
int HexDigitValue(char c);

// Decimal text of a signed integer.
std::string IntToStr(std::int64_t value);

// Integer from text: leading blanks, a sign, decimal digits or a "$"/"0x" hexadecimal form.
// Raises EConvertError "'%s' is not a valid integer value".
int StrToInt(std::string_view s);
std::int64_t StrToInt64(std::string_view s);
// The same without raising; gives `fallback` for a text that does not convert.
int StrToIntDef(std::string_view s, int fallback);

// Replaces every occurrence of `from` by `to`.
std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// One argument of Format: a signed or unsigned integer, a text or a floating-point number.
struct FormatArg {
    std::variant<std::int64_t, std::uint64_t, std::string_view, double> value;

    FormatArg(int v) : value(static_cast<std::int64_t>(v)) {}
    FormatArg(long v) : value(static_cast<std::int64_t>(v)) {}
    FormatArg(long long v) : value(static_cast<std::int64_t>(v)) {}
    FormatArg(unsigned v) : value(static_cast<std::uint64_t>(v)) {}
    FormatArg(unsigned long v) : value(static_cast<std::uint64_t>(v)) {}
    FormatArg(unsigned long long v) : value(static_cast<std::uint64_t>(v)) {}
    FormatArg(double v) : value(v) {}
    FormatArg(std::string_view v) : value(v) {}
    FormatArg(const std::string& v) : value(std::string_view(v)) {}
    FormatArg(const char* v) : value(std::string_view(v ? v : "")) {}
};

// Delphi-style Format: %d %u %x (upper-case digits) %s %f %%, with "-", width and precision
// (as in "%4d" and "%4.4x"). A mismatched argument raises EConvertError.
std::string Format(std::string_view format, std::initializer_list<FormatArg> args);

} // namespace rtl
