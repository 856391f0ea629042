#pragma once
// Helpers shared by the value rendering tests: a render context over its own
// application state, column descriptors and stored value bytes.

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "catalog/ColumnDescriptor.h"
#include "rows/RenderContext.h"
#include "rows/ValueDescriptor.h"
#include "rows/ValueRenderer.h"
#include "support/CodePage.h"

namespace rowtest {

using Bytes = std::vector<std::uint8_t>;

// `width` little-endian bytes of `value`.
inline Bytes LE(std::uint64_t value, std::size_t width) {
    Bytes out(width);
    for (std::size_t i = 0; i < width; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return out;
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline Bytes Str(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline Bytes DoubleBytes(double d) {
    std::uint64_t raw;
    std::memcpy(&raw, &d, sizeof raw);
    return LE(raw, 8);
}

inline Bytes FloatBytes(float f) {
    std::uint32_t raw;
    std::memcpy(&raw, &f, sizeof raw);
    return LE(raw, 4);
}

// Days since 0001-01-01 of a proleptic Gregorian date, computed independently
// of the renderer (shifted-March algorithm).
inline long long DayNumber(int y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long daysFrom1970 = era * 146097 + doe - 719468;
    return daysFrom1970 + 719162;  // 0001-01-01 is 719162 days before 1970-01-01
}

inline pw::ColumnDescriptor Column(std::int32_t kind, const std::string& typeText, std::int16_t maxLength) {
    pw::ColumnDescriptor c;
    c.name = "c";
    c.valueKind = kind;
    c.typeText = typeText;
    c.maxLength = maxLength;
    return c;
}

class Renderer {
public:
    Renderer() { app.m_nAnsiCodePage = 1252; }

    // A value read from fixed data: every byte of `bytes` is available.
    std::string Fixed(const pw::ColumnDescriptor& column, const Bytes& bytes) {
        last = pw::BuildValueDescriptor(column, column.valueKind, &cursor);
        last.available = static_cast<std::int64_t>(bytes.size());
        return Render(column, bytes);
    }

    // A variable-length value: its length is the number of bytes.
    std::string Variable(const pw::ColumnDescriptor& column, const Bytes& bytes) {
        last = pw::BuildValueDescriptor(column, column.valueKind, &cursor);
        last.variable = 1;
        last.length = static_cast<std::int16_t>(bytes.size());
        return Render(column, bytes);
    }

    pw::AppState app;
    pw::CodePageConverter codePages;
    pw::RenderContext context{app, codePages};
    pw::BitCursor cursor;
    pw::ValueDescriptor last;

private:
    std::string Render(const pw::ColumnDescriptor& column, const Bytes& bytes) {
        // A heap copy of exactly these bytes, so a read past them is caught by the sanitizers.
        std::vector<std::uint8_t> exact(bytes);
        const std::uint8_t* data = exact.empty() ? reinterpret_cast<const std::uint8_t*>("") : exact.data();
        return pw::RenderValue(last, pw::ByteView(data, exact.size()), column, context);
    }
};

// The shipped collation table (copied beside the test binaries by the build).
inline bool LoadShippedCollations(pw::AppState& app) {
    std::ifstream in(std::string(PAGEWRIGHT_BIN_DIR) + "/collation.txt");
    if (!in) return false;
    pw::ReadCollationTable(in, app.m_mapCollations);
    return !app.m_mapCollations.empty();
}

}  // namespace rowtest
