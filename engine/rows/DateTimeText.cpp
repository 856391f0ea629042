#include "rows/DateTimeText.h"

#include <cstdint>

namespace pw {

namespace {

constexpr long long kDaysTo1900 = 693595;  // 0001-01-01 .. 1900-01-01
constexpr int kMaxScale = 7;
constexpr int kMaxOffsetMinutes = 14 * 60;

constexpr int kMonthStart[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

struct Clock {
    long long hour = 0;
    long long minute = 0;
    long long second = 0;
};

Clock ClockFromSeconds(long long seconds) {
    Clock c;
    c.hour = seconds / 3600;
    c.minute = (seconds / 60) % 60;
    c.second = seconds % 60;
    return c;
}

bool Valid(const CivilDate& d, const Clock& c) {
    return d.year >= 1 && d.year <= 9999 && c.hour >= 0 && c.hour <= 23 && c.minute >= 0 && c.minute <= 59 &&
           c.second >= 0 && c.second <= 59;
}

void Put2(char*& p, long long v) {
    *p++ = static_cast<char>('0' + v / 10 % 10);
    *p++ = static_cast<char>('0' + v % 10);
}

void PutDate(char*& p, const CivilDate& d) {
    *p++ = static_cast<char>('0' + d.year / 1000);
    *p++ = static_cast<char>('0' + d.year / 100 % 10);
    Put2(p, d.year % 100);
    *p++ = '-';
    Put2(p, d.month);
    *p++ = '-';
    Put2(p, d.day);
}

void PutClock(char*& p, const Clock& c) {
    Put2(p, c.hour);
    *p++ = ':';
    Put2(p, c.minute);
    *p++ = ':';
    Put2(p, c.second);
}

// Exactly `digits` digits of `fraction`, leading zeros kept.
void PutFraction(char*& p, std::uint64_t fraction, int digits) {
    for (int i = digits - 1; i >= 0; --i) {
        p[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    p += digits;
}

void PutInt(char*& p, long long v) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v > 0);
    while (n > 0) *p++ = digits[--n];
}

std::uint64_t ReadUnsigned(ByteView bytes, std::size_t offset, std::size_t width) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v |= static_cast<std::uint64_t>(bytes.U8(offset + i)) << (8 * i);
    return v;
}

constexpr std::uint64_t Pow10(int n) {
    std::uint64_t v = 1;
    for (int i = 0; i < n; ++i) v *= 10;
    return v;
}

// A time part: the unit count split into whole seconds and the fraction.
struct TimePart {
    long long seconds = 0;
    std::uint64_t fraction = 0;
};

// hh:mm:ss, then the fraction with `scale` digits when the type has any.
void PutTimeOfDay(char*& p, const Clock& c, const TimePart& t, int scale) {
    PutClock(p, c);
    if (scale != 0) {
        *p++ = '.';
        PutFraction(p, t.fraction, scale);
    }
}

TimePart SplitUnits(std::uint64_t units, int scale) {
    const std::uint64_t perSecond = Pow10(scale);
    TimePart t;
    t.fraction = units % perSecond;
    t.seconds = static_cast<long long>(units / perSecond);
    return t;
}

// Bytes of the time part of a datetime2 (date follows) or datetimeoffset
// (date and offset follow) of `length` bytes; 0 when no such value has it.
int TimeBytes(int length, int trailing) {
    const int timeBytes = length - trailing;
    return (timeBytes >= 3 && timeBytes <= 5) ? timeBytes : 0;
}

std::string Finish(const char* buffer, const char* end) { return std::string(buffer, end); }

// "yyyy-mm-dd hh:mm:ss", the text of datetime and smalldatetime.
std::string DateAndClockText(const CivilDate& d, const Clock& c) {
    char buffer[32];
    char* p = buffer;
    PutDate(p, d);
    *p++ = ' ';
    PutClock(p, c);
    return Finish(buffer, p);
}

}  // namespace

CivilDate DateFromDayNumber(long long dayNumber) {
    CivilDate d;
    if (dayNumber < 0) {
        d.year = 0;  // before 0001-01-01: out of range
        return d;
    }
    long long days = dayNumber;
    long long year = 1 + 400 * (days / 146097);
    days %= 146097;
    long long centuries = days / 36524;
    if (centuries > 3) centuries = 3;
    days -= centuries * 36524;
    year += 100 * centuries;
    year += 4 * (days / 1461);
    days %= 1461;
    long long years = days / 365;
    if (years > 3) years = 3;
    days -= years * 365;
    year += years;
    if (year > 99999) year = 99999;  // far beyond the valid range; keeps the value small
    d.year = static_cast<int>(year);
    d.dayOfYear = static_cast<int>(days);
    const int* starts = kMonthStart[IsLeap(d.year) ? 1 : 0];
    int month = 0;
    while (month < 11 && days >= starts[month + 1]) ++month;
    d.month = month + 1;
    d.day = static_cast<int>(days - starts[month]) + 1;
    return d;
}

std::string RenderDateTime(ByteView bytes) {
    if (!bytes.Has(0, 8)) return {};
    const std::int32_t ticks = bytes.I32(0);
    const std::int32_t days = bytes.I32(4);
    // A tick count before midnight is no time of day (ticks -1 to -299 would
    // otherwise truncate to 00:00:00).
    if (ticks < 0) return kInvalidDateText;
    // 1/300 s ticks; the factor is slightly above 1/300 so that exact
    // multiples of 300 never land a hair below the whole second.
    const auto seconds = static_cast<long long>(static_cast<double>(ticks) * 0.00333333335);
    const Clock c = ClockFromSeconds(seconds);
    const CivilDate d = DateFromDayNumber(static_cast<long long>(days) + kDaysTo1900);
    if (!Valid(d, c)) return kInvalidDateText;
    return DateAndClockText(d, c);
}

std::string RenderSmallDateTime(ByteView bytes) {
    if (!bytes.Has(0, 4)) return {};
    const long long minutes = bytes.U16(0);
    const long long days = bytes.U16(2);
    Clock c;
    c.hour = minutes / 60;
    c.minute = minutes % 60;
    const CivilDate d = DateFromDayNumber(days + kDaysTo1900);
    if (!Valid(d, c)) return kInvalidDateText;
    return DateAndClockText(d, c);
}

std::string RenderDate(ByteView bytes) {
    if (!bytes.Has(0, 3)) return {};
    const CivilDate d = DateFromDayNumber(static_cast<long long>(ReadUnsigned(bytes, 0, 3)));
    if (!Valid(d, Clock{})) return kInvalidDateText;
    char buffer[16];
    char* p = buffer;
    PutDate(p, d);
    return Finish(buffer, p);
}

std::string RenderTime(ByteView bytes, int scale, int length) {
    if (length <= 0) return {};
    if (!bytes.Has(0, static_cast<std::size_t>(length))) return {};
    if (scale < 0 || scale > kMaxScale || length < 3 || length > 5) return kInvalidDateText;
    const TimePart t = SplitUnits(ReadUnsigned(bytes, 0, static_cast<std::size_t>(length)), scale);
    const Clock c = ClockFromSeconds(t.seconds);
    if (!Valid(CivilDate{}, c)) return kInvalidDateText;
    char buffer[32];
    char* p = buffer;
    PutTimeOfDay(p, c, t, scale);
    return Finish(buffer, p);
}

std::string RenderDateTime2(ByteView bytes, int scale, int length) {
    if (length <= 0) return {};
    if (!bytes.Has(0, static_cast<std::size_t>(length))) return {};
    const int timeBytes = TimeBytes(length, 3);
    if (scale < 0 || scale > kMaxScale || timeBytes == 0) return kInvalidDateText;
    const auto tb = static_cast<std::size_t>(timeBytes);
    const TimePart t = SplitUnits(ReadUnsigned(bytes, 0, tb), scale);
    const Clock c = ClockFromSeconds(t.seconds);
    const CivilDate d = DateFromDayNumber(static_cast<long long>(ReadUnsigned(bytes, tb, 3)));
    if (!Valid(d, c)) return kInvalidDateText;
    char buffer[48];
    char* p = buffer;
    PutDate(p, d);
    *p++ = ' ';
    PutTimeOfDay(p, c, t, scale);
    return Finish(buffer, p);
}

std::string RenderDateTimeOffset(ByteView bytes, int scale, int length) {
    if (length <= 0) return {};
    if (!bytes.Has(0, static_cast<std::size_t>(length))) return {};
    const int timeBytes = TimeBytes(length, 5);
    if (scale < 0 || scale > kMaxScale || timeBytes == 0) return kInvalidDateText;
    const auto tb = static_cast<std::size_t>(timeBytes);
    const TimePart t = SplitUnits(ReadUnsigned(bytes, 0, tb), scale);
    const long long utcDay = static_cast<long long>(ReadUnsigned(bytes, tb, 3));
    // The offset is a signed minute count (west of UTC is negative).
    const int offset = bytes.I16(static_cast<std::size_t>(length - 2));
    if (offset > kMaxOffsetMinutes || offset < -kMaxOffsetMinutes) return kInvalidDateText;

    // The stored date and time are UTC; the text shows the local date and time.
    const Clock utc = ClockFromSeconds(t.seconds);
    if (!Valid(DateFromDayNumber(utcDay), utc)) return kInvalidDateText;
    long long localSeconds = t.seconds + 60LL * offset;
    long long localDay = utcDay;
    if (localSeconds < 0) {
        localSeconds += 86400;
        --localDay;
    } else if (localSeconds >= 86400) {
        localSeconds -= 86400;
        ++localDay;
    }
    const Clock c = ClockFromSeconds(localSeconds);
    const CivilDate d = DateFromDayNumber(localDay);
    if (!Valid(d, c)) return kInvalidDateText;

    char buffer[64];
    char* p = buffer;
    PutDate(p, d);
    *p++ = ' ';
    PutTimeOfDay(p, c, t, scale);
    if (scale != 0) *p++ = ' ';
    *p++ = ' ';
    *p++ = offset < 0 ? '-' : '+';
    const int magnitude = offset < 0 ? -offset : offset;
    PutInt(p, magnitude / 60);
    *p++ = ':';
    PutInt(p, magnitude % 60);
    return Finish(buffer, p);
}

}  // namespace pw
