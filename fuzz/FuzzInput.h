#pragma once
// Reading a fuzzer's input as a small structured record, front to back.
//
// Every fuzz target splits its input the same way: a few option bytes, then
// the parts it needs. A part that runs past the input is cut short (a missing
// integer reads 0), so every input is accepted and the seed generator can
// write the same layout with InputWriter.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/ColumnDescriptor.h"
#include "rows/ValueKind.h"

namespace fuzz {

// Keeps a result alive so the work that produced it is not optimized away.
inline void Keep(std::size_t value) {
    static volatile std::size_t sink = 0;
    sink = sink + value;
}

using Bytes = std::vector<std::uint8_t>;

class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Remaining() const { return size_ - pos_; }
    std::uint8_t U8() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t U16() {
        const std::uint16_t low = U8();
        return static_cast<std::uint16_t>(low | (U8() << 8));
    }
    std::uint32_t U32() {
        const std::uint32_t low = U16();
        return low | (static_cast<std::uint32_t>(U16()) << 16);
    }
    // Up to `count` bytes, as an exact heap copy (a read past it is caught by the sanitizer).
    Bytes Take(std::size_t count) {
        count = std::min(count, Remaining());
        Bytes out(data_ + pos_, data_ + pos_ + count);
        pos_ += count;
        return out;
    }
    // A part preceded by its 16-bit length.
    Bytes Part() { return Take(U16()); }
    Bytes Rest() { return Take(Remaining()); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// The writing side, used by the seed generator.
class InputWriter {
public:
    InputWriter& U8(std::uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    InputWriter& U16(std::uint16_t v) { return U8(static_cast<std::uint8_t>(v)).U8(static_cast<std::uint8_t>(v >> 8)); }
    InputWriter& U32(std::uint32_t v) {
        return U16(static_cast<std::uint16_t>(v)).U16(static_cast<std::uint16_t>(v >> 16));
    }
    InputWriter& Raw(const Bytes& b) {
        bytes.insert(bytes.end(), b.begin(), b.end());
        return *this;
    }
    InputWriter& Part(const Bytes& b) {
        U16(static_cast<std::uint16_t>(std::min<std::size_t>(b.size(), 0xFFFF)));
        bytes.insert(bytes.end(), b.begin(), b.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(b.size(), 0xFFFF)));
        return *this;
    }
    Bytes bytes;
};

// The type name each value kind is declared with; the declared length follows in parentheses.
inline const char* TypeNameOfKind(std::int32_t kind) {
    static const char* const names[pw::kValueKindCount] = {
        "bigint",   "binary",         "bit",     "char",     "datetime",   "date",       "time",
        "datetime2", "datetimeoffset", "int",    "nchar",    "nvarchar",   "rowlocator", "smallint",
        "tinyint",  "uniqueidentifier", "varbinary", "varchar", "empty",   "ntext",      "sql_variant",
        "money",    "float",          "numeric", "decimal",  "image",      "text",       "smalldatetime",
        "real",     "smallmoney",     "timestamp", "hierarchyid", "geometry", "geography", "xml",
    };
    return kind >= 0 && kind < pw::kValueKindCount ? names[kind] : "char";
}

// One column description: kind, declared length, precision, scale, flag bits
// (1 variable, 2 nullable, 4 sparse, 8 in row), leaf offset, null bit.
constexpr std::size_t kColumnSpecBytes = 9;

inline pw::ColumnDescriptor ReadColumn(InputReader& in, int ordinal) {
    pw::ColumnDescriptor c;
    c.name = "c" + std::to_string(ordinal);
    c.columnId = ordinal + 1;
    c.ordinal = ordinal;
    c.valueKind = in.U8() % pw::kValueKindCount;
    const auto length = static_cast<std::int16_t>(in.U16());
    c.typeText = std::string(TypeNameOfKind(c.valueKind)) + "(" + std::to_string(length) + ")";
    c.maxLength = length;
    c.precision = in.U8();
    c.scale = in.U8();
    const std::uint8_t flags = in.U8();
    c.isVariable = flags & 1;
    c.isNullable = (flags >> 1) & 1;
    c.isSparse = (flags >> 2) & 1;
    c.inRow = (flags >> 3) & 1;
    c.leafOffset = static_cast<std::int16_t>(in.U16());
    c.nullBit = in.U8();
    return c;
}

// A column count byte (at most 64 columns), then the columns.
inline std::vector<pw::ColumnDescriptor> ReadColumns(InputReader& in) {
    const int count = in.U8() % 65;
    std::vector<pw::ColumnDescriptor> columns;
    for (int i = 0; i < count; ++i) columns.push_back(ReadColumn(in, i));
    return columns;
}

inline void WriteColumn(InputWriter& out, std::int32_t kind, std::uint16_t length, std::uint8_t flags = 0,
                        std::uint8_t precision = 0, std::uint8_t scale = 0, std::uint16_t leafOffset = 0,
                        std::uint8_t nullBit = 0) {
    out.U8(static_cast<std::uint8_t>(kind)).U16(length).U8(precision).U8(scale).U8(flags).U16(leafOffset).U8(nullBit);
}

}  // namespace fuzz
