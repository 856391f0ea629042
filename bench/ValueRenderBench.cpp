// Micro-benchmark: rendering one stored value of each common kind as text,
// the innermost step of every row listing.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "catalog/ColumnDescriptor.h"
#include "rows/RenderContext.h"
#include "rows/ValueDescriptor.h"
#include "rows/ValueKind.h"
#include "rows/ValueRenderer.h"
#include "rows/VariantRenderer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes LE(std::uint64_t value, std::size_t width) {
    Bytes out(width);
    for (std::size_t i = 0; i < width; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return out;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct Sample {
    pw::ColumnDescriptor column;
    Bytes bytes;
    bool variable = false;
};

Sample Make(std::int32_t kind, const std::string& typeText, Bytes bytes, bool variable = false,
            std::uint8_t precision = 0, std::uint8_t scale = 0, int collationId = -1) {
    Sample s;
    s.column.valueKind = kind;
    s.column.typeText = typeText;
    s.column.maxLength = static_cast<std::int16_t>(bytes.size());
    s.column.isVariable = variable ? 1 : 0;
    s.column.precision = precision;
    s.column.scale = scale;
    s.column.collationId = collationId;
    s.bytes = std::move(bytes);
    s.variable = variable;
    return s;
}

Sample SampleOf(int which) {
    double pi = 3.14159265358979;
    std::uint64_t piRaw;
    std::memcpy(&piRaw, &pi, sizeof piRaw);
    float e = 2.71828f;
    std::uint32_t eRaw;
    std::memcpy(&eRaw, &e, sizeof eRaw);
    switch (which) {
        case 0: return Make(pw::kKindInt, "int(4)", LE(1234567, 4));
        case 1: return Make(pw::kKindBigInt, "bigint(8)", LE(1234567890123ull, 8));
        case 2: return Make(pw::kKindBit, "bit(1)", {0x05});
        case 3: return Make(pw::kKindDecimal, "decimal(9)", Cat({{1}, LE(123456789012ull, 8)}), false, 18, 4);
        case 4: return Make(pw::kKindMoney, "money(8)", LE(123456789, 8));
        case 5: return Make(pw::kKindFloat, "float(8)", LE(piRaw, 8));
        case 6: return Make(pw::kKindReal, "real(4)", LE(eRaw, 4));
        case 7: return Make(pw::kKindDateTime, "datetime(8)", Cat({LE(12345678, 4), LE(44000, 4)}));
        case 8: return Make(pw::kKindDateTime2, "datetime2(8)", Cat({LE(123456789012ull, 5), LE(738000, 3)}), false, 0, 7);
        case 9: return Make(pw::kKindDate, "date(3)", LE(738000, 3));
        case 10: return Make(pw::kKindUniqueIdentifier, "uniqueidentifier(16)",
                             {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
        case 11: return Make(pw::kKindVarChar, "varchar(50)", {'S', 'a', 'm', 'p', 'l', 'e', ' ', 'n', 'a', 'm', 'e'}, true, 0, 0, 53256);
        case 12: return Make(pw::kKindVarChar, "varchar(50)", {0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}, true, 0, 0, 53269);
        case 13: return Make(pw::kKindVarChar, "varchar(50)", {0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA}, true, 0, 0, 53264);
        case 14: return Make(pw::kKindNVarChar, "nvarchar(50)", {'S', 0, 'a', 0, 'm', 0, 'p', 0, 'l', 0, 'e', 0}, true);
        case 15: return Make(pw::kKindVarBinary, "varbinary(16)", {0xDE, 0xAD, 0xBE, 0xEF, 0, 1, 2, 3}, true);
        default: return Make(pw::kKindDateTimeOffset, "datetimeoffset(10)",
                             Cat({LE(123456789012ull, 5), LE(738000, 3), LE(330, 2)}), false, 0, 7);
    }
}

const char* kNames[] = {"int", "bigint", "bit", "decimal(18,4)", "money", "float", "real", "datetime",
                        "datetime2(7)", "date", "uniqueidentifier", "varchar 1252", "varchar 1251",
                        "varchar 932", "nvarchar", "varbinary", "datetimeoffset(7)"};

void BM_RenderValue(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    Sample sample = SampleOf(which);
    pw::AppState app;
    app.m_bListing = true;
    app.m_mapCollations[53256] = {"Latin1_General_CI_AS", 1252};
    app.m_mapCollations[53269] = {"Cyrillic_General_CI_AS", 1251};
    app.m_mapCollations[53264] = {"Japanese_CI_AS", 932};
    pw::CodePageConverter codePages;
    pw::RenderContext context{app, codePages};
    const pw::ByteView bytes(sample.bytes.data(), sample.bytes.size());
    for (auto _ : state) {
        pw::BitCursor cursor;
        pw::ValueDescriptor vd = pw::BuildValueDescriptor(sample.column, sample.column.valueKind, &cursor);
        if (sample.variable) vd.length = static_cast<std::int16_t>(sample.bytes.size());
        vd.available = static_cast<std::int64_t>(sample.bytes.size());
        std::string text = pw::RenderValue(vd, bytes, sample.column, context);
        benchmark::DoNotOptimize(text);
    }
    state.SetLabel(kNames[which]);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderValue)->DenseRange(0, 16);

void BM_RenderVariantInt(benchmark::State& state) {
    const Bytes variant = Cat({{56, 1}, LE(123456, 4)});
    pw::AppState app;
    pw::CodePageConverter codePages;
    pw::RenderContext context{app, codePages};
    pw::ColumnDescriptor column;
    column.valueKind = pw::kKindSqlVariant;
    for (auto _ : state) {
        pw::ValueDescriptor vd = pw::BuildValueDescriptor(column, pw::kKindSqlVariant, nullptr);
        std::string text = pw::RenderVariant(6, vd, pw::ByteView(variant.data(), variant.size()), column, context);
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderVariantInt);

}  // namespace
