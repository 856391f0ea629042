#pragma once
// Texts of the six date and time types.
//
// Stored layouts (little-endian):
//   datetime        8 bytes: int32 ticks of 1/300 s since midnight, int32 days since 1900-01-01
//   smalldatetime   4 bytes: uint16 minutes since midnight, uint16 days since 1900-01-01
//   date            3 bytes: uint24 days since 0001-01-01
//   time(s)         3, 4 or 5 bytes: units of 10^-s second since midnight
//   datetime2(s)    time part (3, 4 or 5 bytes), then a 3-byte date
//   datetimeoffset  time part, 3-byte date, int16 offset in minutes; the
//                   stored date and time are UTC, the text shows local time
//
// Texts: "YYYY-MM-DD", "hh:mm:ss", "YYYY-MM-DD hh:mm:ss", fraction digits
// after a "." for a scale above 0, the offset as " +h:m" (two spaces when a
// fraction is shown). A value outside 0001-01-01 .. 9999-12-31 or with a time
// of day outside 00:00:00 .. 23:59:59 renders as a single space, as do scales
// above 7, offsets beyond 14 hours and lengths that no such value has.

#include <string>

#include "support/ByteView.h"

namespace pw {

// The text every invalid date or time value renders as.
inline constexpr const char* kInvalidDateText = " ";

struct CivilDate {
    int year = 1;
    int month = 1;     // 1..12
    int day = 1;       // 1..31
    int dayOfYear = 0; // 0-based
};

// Proleptic Gregorian date of a day count since 0001-01-01 (0 = 0001-01-01).
// Negative counts give year 0 or below, which the renderers treat as invalid.
CivilDate DateFromDayNumber(long long dayNumber);

std::string RenderDateTime(ByteView bytes);
std::string RenderSmallDateTime(ByteView bytes);
std::string RenderDate(ByteView bytes);
std::string RenderTime(ByteView bytes, int scale, int length);
std::string RenderDateTime2(ByteView bytes, int scale, int length);
std::string RenderDateTimeOffset(ByteView bytes, int scale, int length);

}  // namespace pw
