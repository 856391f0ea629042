#include <gtest/gtest.h>

#include "RenderSupport.h"
#include "rows/DateTimeText.h"

namespace {

using namespace pw;
using rowtest::Bytes;
using rowtest::Cat;
using rowtest::DayNumber;
using rowtest::LE;

constexpr long long kDay1900 = 693595;

ByteView View(const Bytes& b) { return ByteView(b.data(), b.size()); }

Bytes DateTime(std::int32_t ticks, std::int32_t days) {
    return Cat({LE(static_cast<std::uint32_t>(ticks), 4), LE(static_cast<std::uint32_t>(days), 4)});
}

// time units of 10^-scale second, in the width the scale takes.
Bytes TimeUnits(std::uint64_t units, int scale) {
    return LE(units, static_cast<std::size_t>(scale <= 2 ? 3 : scale <= 4 ? 4 : 5));
}

std::uint64_t Units(int h, int m, int s, std::uint64_t fraction, int scale) {
    std::uint64_t perSecond = 1;
    for (int i = 0; i < scale; ++i) perSecond *= 10;
    return (static_cast<std::uint64_t>(h) * 3600 + static_cast<std::uint64_t>(m) * 60 + static_cast<std::uint64_t>(s)) * perSecond + fraction;
}

TEST(DateFromDayNumber, AgreesWithAnIndependentCalendarOnEveryDay) {
    // Walks the whole valid range once: every day's number maps back to it.
    long long n = 0;
    for (int y = 1; y <= 9999; ++y) {
        for (int m = 1; m <= 12; ++m) {
            static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
            const int days = kDays[m - 1] + (m == 2 && leap ? 1 : 0);
            for (int d = 1; d <= days; ++d, ++n) {
                const CivilDate date = DateFromDayNumber(n);
                if (date.year != y || date.month != m || date.day != d) {
                    FAIL() << "day " << n << " gave " << date.year << "-" << date.month << "-" << date.day
                           << " instead of " << y << "-" << m << "-" << d;
                }
            }
        }
    }
    EXPECT_EQ(n, 3652059);
    EXPECT_EQ(DayNumber(9999, 12, 31), 3652058);
    EXPECT_EQ(DateFromDayNumber(DayNumber(2000, 3, 1)).dayOfYear, 60);
}

TEST(RenderDateTime, BoundariesAndRounding) {
    struct Case { Bytes bytes; const char* text; };
    const Case cases[] = {
        {DateTime(300, 0), "1900-01-01 00:00:01"},
        {DateTime(299, 0), "1900-01-01 00:00:00"},
        {DateTime(0, -53690), "1753-01-01 00:00:00"},
        {DateTime(25919999, 2958463), "9999-12-31 23:59:59"},
        {DateTime(0, static_cast<std::int32_t>(DayNumber(2000, 2, 29) - kDay1900)), "2000-02-29 00:00:00"},
        {DateTime(0, static_cast<std::int32_t>(DayNumber(1900, 3, 1) - kDay1900)), "1900-03-01 00:00:00"},
        {DateTime(0, 2958464), " "},              // year 10000
        {DateTime(25920000, 0), " "},             // 24:00:00
        {DateTime(-1, 0), " "},                   // before midnight
        {DateTime(-300, 0), " "},
        {DateTime(0, -693596), " "},              // before 0001-01-01
        {DateTime(0, INT32_MAX), " "},
        {DateTime(INT32_MIN, INT32_MIN), " "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RenderDateTime(View(c.bytes)), c.text);
        rowtest::Renderer r;
        EXPECT_EQ(r.Fixed(rowtest::Column(kKindDateTime, "datetime(8)", 8), c.bytes), c.text);
        EXPECT_EQ(r.last.length, 8);
    }
}

TEST(RenderSmallDateTime, Boundaries) {
    struct Case { std::uint16_t minutes; std::uint16_t days; const char* text; };
    const Case cases[] = {
        {0, 0, "1900-01-01 00:00:00"},
        {1439, 0, "1900-01-01 23:59:00"},
        {1439, 65535, "2079-06-06 23:59:00"},
        {1440, 0, " "},
        {65535, 0, " "},
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        EXPECT_EQ(r.Fixed(rowtest::Column(kKindSmallDateTime, "smalldatetime(4)", 4),
                          Cat({LE(c.minutes, 2), LE(c.days, 2)})),
                  c.text);
    }
}

TEST(RenderDate, Boundaries) {
    struct Case { std::uint32_t day; const char* text; };
    const Case cases[] = {
        {0, "0001-01-01"},
        {static_cast<std::uint32_t>(DayNumber(999, 12, 31)), "0999-12-31"},
        {static_cast<std::uint32_t>(DayNumber(2024, 2, 29)), "2024-02-29"},
        {3652058, "9999-12-31"},
        {3652059, " "},
        {0xFFFFFF, " "},
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        EXPECT_EQ(r.Fixed(rowtest::Column(kKindDate, "date(3)", 3), LE(c.day, 3)), c.text);
    }
}

TEST(RenderTime, ScalesAndBoundaries) {
    struct Case { int scale; Bytes bytes; const char* text; };
    const Case cases[] = {
        {7, TimeUnits(1, 7), "00:00:00.0000001"},
        {7, TimeUnits(Units(23, 59, 59, 9999999, 7), 7), "23:59:59.9999999"},
        {7, TimeUnits(Units(24, 0, 0, 0, 7), 7), " "},
        {0, TimeUnits(Units(12, 34, 56, 0, 0), 0), "12:34:56"},
        {0, TimeUnits(Units(24, 0, 0, 0, 0), 0), " "},
        {3, TimeUnits(Units(1, 2, 3, 5, 3), 3), "01:02:03.005"},
        {1, TimeUnits(Units(0, 0, 0, 9, 1), 1), "00:00:00.9"},
        {4, TimeUnits(Units(0, 0, 1, 42, 4), 4), "00:00:01.0042"},
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        ColumnDescriptor column =
            rowtest::Column(kKindTime, "time(" + std::to_string(c.bytes.size()) + ")", 5);
        column.scale = static_cast<std::uint8_t>(c.scale);
        EXPECT_EQ(r.Fixed(column, c.bytes), c.text) << "scale " << c.scale;
        EXPECT_EQ(r.last.storageLength, static_cast<std::int32_t>(c.bytes.size()));
        EXPECT_EQ(r.last.length, static_cast<std::int16_t>(c.bytes.size()));
    }
    // Scales above 7 and lengths no time has are not valid values.
    EXPECT_EQ(RenderTime(View(LE(1, 5)), 8, 5), " ");
    EXPECT_EQ(RenderTime(View(LE(1, 6)), 7, 6), " ");
    EXPECT_EQ(RenderTime(View(LE(1, 2)), 0, 2), " ");
    EXPECT_EQ(RenderTime(View(LE(1, 3)), 0, 5), "");  // fewer bytes than the length
}

TEST(RenderDateTime2, ScalesAndBoundaries) {
    struct Case { int scale; Bytes bytes; const char* text; };
    const Case cases[] = {
        {3, Cat({TimeUnits(5, 3), LE(static_cast<std::uint64_t>(DayNumber(2021, 6, 15)), 3)}),
         "2021-06-15 00:00:00.005"},
        {7, Cat({TimeUnits(0, 7), LE(0, 3)}), "0001-01-01 00:00:00.0000000"},
        {7, Cat({TimeUnits(Units(23, 59, 59, 9999999, 7), 7), LE(3652058, 3)}), "9999-12-31 23:59:59.9999999"},
        {0, Cat({TimeUnits(Units(8, 0, 0, 0, 0), 0), LE(3652058, 3)}), "9999-12-31 08:00:00"},
        {2, Cat({TimeUnits(Units(8, 0, 0, 7, 2), 2), LE(1, 3)}), "0001-01-02 08:00:00.07"},
        {7, Cat({TimeUnits(0, 7), LE(3652059, 3)}), " "},
        {7, Cat({TimeUnits(Units(24, 0, 0, 0, 7), 7), LE(0, 3)}), " "},
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        ColumnDescriptor column =
            rowtest::Column(kKindDateTime2, "datetime2(" + std::to_string(c.bytes.size()) + ")", 8);
        column.scale = static_cast<std::uint8_t>(c.scale);
        EXPECT_EQ(r.Fixed(column, c.bytes), c.text) << "scale " << c.scale;
        EXPECT_EQ(r.last.storageLength, static_cast<std::int32_t>(c.bytes.size()));
    }
    EXPECT_EQ(RenderDateTime2(View(Bytes(9, 0)), 7, 9), " ");
    EXPECT_EQ(RenderDateTime2(View(Bytes(5, 0)), 0, 5), " ");
}

TEST(RenderDateTimeOffset, LocalTimeAndOffsets) {
    // The stored date and time are UTC; the text shows the local time and the offset.
    auto value = [](int scale, std::uint64_t units, long long day, int offset) {
        return Cat({TimeUnits(units, scale), LE(static_cast<std::uint64_t>(day), 3),
                    LE(static_cast<std::uint16_t>(static_cast<std::int16_t>(offset)), 2)});
    };
    const long long jan1 = DayNumber(2020, 1, 1);
    struct Case { int scale; Bytes bytes; const char* text; };
    const Case cases[] = {
        {7, value(7, Units(6, 0, 0, 0, 7), jan1, 330), "2020-01-01 11:30:00.0000000  +5:30"},
        {0, value(0, Units(6, 0, 0, 0, 0), jan1, 0), "2020-01-01 06:00:00 +0:0"},
        {0, value(0, Units(3, 0, 0, 0, 0), jan1, -300), "2019-12-31 22:00:00 -5:0"},
        {3, value(3, Units(12, 0, 0, 123, 3), jan1, -30), "2020-01-01 11:30:00.123  -0:30"},
        {0, value(0, Units(20, 0, 0, 0, 0), DayNumber(2020, 12, 31), 330), "2021-01-01 01:30:00 +5:30"},
        {0, value(0, Units(23, 0, 0, 0, 0), DayNumber(2024, 2, 28), 840), "2024-02-29 13:00:00 +14:0"},
        {0, value(0, Units(0, 0, 0, 0, 0), 0, 60), "0001-01-01 01:00:00 +1:0"},
        {0, value(0, Units(0, 30, 0, 0, 0), 0, -60), " "},          // before 0001-01-01
        {0, value(0, Units(23, 0, 0, 0, 0), 3652058, 120), " "},    // after 9999-12-31
        {0, value(0, Units(1, 0, 0, 0, 0), jan1, 841), " "},        // no such offset
        {0, value(0, Units(24, 0, 0, 0, 0), jan1, 0), " "},
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        ColumnDescriptor column =
            rowtest::Column(kKindDateTimeOffset, "datetimeoffset(" + std::to_string(c.bytes.size()) + ")", 10);
        column.scale = static_cast<std::uint8_t>(c.scale);
        EXPECT_EQ(r.Fixed(column, c.bytes), c.text) << "scale " << c.scale;
        EXPECT_EQ(r.last.length, static_cast<std::int16_t>(c.bytes.size()));
    }
    EXPECT_EQ(RenderDateTimeOffset(View(Bytes(7, 0)), 0, 7), " ");
    EXPECT_EQ(RenderDateTimeOffset(View(Bytes(8, 0)), 0, 10), "");
}

TEST(RenderValue, DateKindsWithoutLengthInTheTypeTextUseTheScale) {
    rowtest::Renderer r;
    ColumnDescriptor column = rowtest::Column(kKindDateTime2, "datetime2", 8);
    column.scale = 3;
    EXPECT_EQ(r.Fixed(column, Cat({TimeUnits(5, 3), LE(0, 3), Bytes(4, 0xEE)})), "0001-01-01 00:00:00.005");
    EXPECT_EQ(r.last.storageLength, 7);
}

}  // namespace
