#pragma once
// Builds record bytes for tests: plain records (status bytes, fixed part,
// column count, null bitmap, variable columns), forwarding stubs, sparse
// column vectors and compressed-format records.

#include <cstdint>
#include <optional>
#include <vector>

#include "forge/PageBuilder.h"

namespace forge {

// A plain record. Status byte A is computed from the record type and the
// parts present (null bitmap: bit 4, variable columns: bit 5) unless set raw.
class RecordBuilder {
public:
    RecordBuilder& Type(int recordType);
    RecordBuilder& StatusA(std::uint8_t raw);
    RecordBuilder& StatusB(std::uint8_t value);
    RecordBuilder& Fixed(const Bytes& fixed);
    // Stores this value as the fixed-part end instead of 4 + fixed size.
    RecordBuilder& FixedEnd(std::uint16_t raw);
    RecordBuilder& Columns(std::uint16_t count);
    // Columns (0-based) whose null bit is set; a null bitmap is written unless NoNullBitmap.
    RecordBuilder& Nulls(const std::vector<int>& columns);
    RecordBuilder& NoNullBitmap();
    // Appends a variable column value; `complex` sets bit 15 of its end offset.
    RecordBuilder& Var(const Bytes& value, bool complex = false);
    // Stores this value as the variable column count instead of the number of values.
    RecordBuilder& VarCount(std::uint16_t raw);

    Bytes Build() const;

private:
    int type_ = 0;
    std::optional<std::uint8_t> statusA_;
    std::uint8_t statusB_ = 0;
    Bytes fixed_;
    std::optional<std::uint16_t> fixedEnd_;
    std::uint16_t columns_ = 1;
    std::vector<int> nulls_;
    bool nullBitmap_ = true;
    std::vector<std::pair<Bytes, bool>> vars_;
    std::optional<std::uint16_t> varCount_;
};

// A forwarding stub pointing at (file, page, slot).
Bytes ForwardingStub(std::uint16_t file, std::uint32_t page, std::uint16_t slot);

// A sparse column vector value holding (column id, bytes) entries.
Bytes SparseVector(const std::vector<std::pair<std::uint16_t, Bytes>>& entries);

// A compressed-format record. Columns are added in order with their
// descriptor code; codes 2-9 take code-1 short bytes, code 12 one byte,
// code 10 a long value.
class CompressedRecordBuilder {
public:
    CompressedRecordBuilder& Type(int recordType);
    CompressedRecordBuilder& StatusA(std::uint8_t raw);
    // A column without bytes (codes 0, 1, 11).
    CompressedRecordBuilder& Column(std::uint8_t code);
    // A short column: the code follows from the size (1-8 bytes gives code 2-9).
    CompressedRecordBuilder& Short(const Bytes& value);
    // A dictionary symbol column (code 12).
    CompressedRecordBuilder& Symbol(std::uint8_t symbol);
    // A long column (code 10); `flag` sets bit 15 of its end offset.
    CompressedRecordBuilder& Long(const Bytes& value, bool flag = false);
    // Null bitmap bytes after the short data (sets bit 4).
    CompressedRecordBuilder& NullBitmap(const Bytes& bitmap);
    // Writes these bytes as the column count instead of the computed one.
    CompressedRecordBuilder& CountBytes(const Bytes& raw);

    Bytes Build() const;

private:
    int type_ = 0;
    std::optional<std::uint8_t> statusA_;
    std::vector<std::uint8_t> codes_;
    Bytes shortData_;
    std::vector<std::pair<Bytes, bool>> longs_;
    std::optional<Bytes> nullBitmap_;
    std::optional<Bytes> countBytes_;
};

// Writes `bytes` into a page image at `offset` (clipped to the image).
void PlaceBytes(pw::PageImage& image, std::size_t offset, const Bytes& bytes);

// Rewrites the slot array and slot count of a page image.
void SetSlots(pw::PageImage& image, const std::vector<std::uint16_t>& offsets);

}  // namespace forge
