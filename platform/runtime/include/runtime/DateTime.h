#pragma once

// The toolkit's date type and its rules. A TDateTime counts days since 30 December 1899 in its
// integer part and the time of day in its fraction, in the machine's local time. Patterns
// given to the conversions here are fixed: the user's regional settings play no part.

#include <cstdint>
#include <string>
#include <string_view>

namespace rtl {

using TDateTime = double;

bool IsLeapYear(int year);
// 28 to 31; 0 for a month outside 1 to 12.
int DaysInMonth(int year, int month);
// Years 1 to 9999, months 1 to 12, days that the month has.
bool IsValidDate(int year, int month, int day);

// The day number (days since 30 December 1899) of a calendar day, and back; proleptic
// Gregorian calendar, no range check.
std::int64_t DayNumber(int year, int month, int day);
void CalendarDay(std::int64_t dayNumber, int& year, int& month, int& day);

// A date without time of day. Encode raises EConvertError "Invalid argument to date encode"
// for a day that does not exist; TryEncode answers false instead.
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
TDateTime EncodeDate(int year, int month, int day);
// A time of day as a fraction; raises EConvertError "Invalid argument to time encode".
TDateTime EncodeTime(int hour, int minute, int second, int millisecond = 0);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond = 0);

// The calendar day of a value (its integer part, towards zero) and its time of day (to the
// millisecond).
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);

// Today (no time of day), now, and the current year, by the local clock.
TDateTime Date();
TDateTime Now();
int CurrentYear();

// Formats with a fixed pattern: "d"/"dd" day, "m"/"mm" month, "yy" two-digit and "yyyy" full
// year, "h"/"hh" hours, "n"/"nn" minutes, "s"/"ss" seconds (two letters: leading zero); every
// other character is copied as it is ("dd/mm/yy" gives 07/05/03).
std::string FormatDateTime(std::string_view pattern, TDateTime value);

// Reads a date by a fixed pattern whose first letter gives the order of the numbers ("yy/mm/dd":
// year, month, day; "dd..." day, month, year; "mm..." month, day, year) and a separator:
// blanks may stand before any number or separator and at the end; with two numbers they are
// month and day (day and month for a day-first pattern) of the current year; one separator
// may follow the last number; a year of one or two digits lies in the hundred years that begin
// 50 years before the current year; the result must be a day that exists.
bool TryStrToDate(std::string_view text, std::string_view pattern, char separator, int currentYear,
                  TDateTime& date);
// The same with the current year of the clock; raises EConvertError "'%s' is not a valid
// date" with the text in place of %s.
TDateTime StrToDate(std::string_view text, std::string_view pattern, char separator);

} // namespace rtl
