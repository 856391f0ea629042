#pragma once
// CRecord: the pieces one record of a record page splits into.
//
// Record layout of the plain format (all offsets from the record start):
//
//   0      1     status byte A   bit 0 compressed format, bits 1-3 record type,
//                                bit 4 null bitmap present, bit 5 variable columns present
//   1      1     status byte B
//   2      2     f               offset of the end of the fixed part
//   4      f-4   fixed part      fixed-width column values
//   f      2     column count
//   f+2    ⌈n/8⌉ null bitmap     one bit per column (when bit 4 is set)
//   then   2     variable column count
//   then   2*v   end offsets     bit 15 marks a complex (out-of-row, sparse) value
//   then         variable values back to back
//
// The compressed format (bit 0) holds a column descriptor array of 4-bit codes,
// a short data region and a long data region instead; see PrimaryRecord.cpp.
//
// Every piece is an owned copy: a record outlives nothing it was read from,
// except `ownerPage`, which points back at the page object that holds it.

#include <cstdint>
#include <vector>

#include "pages/Page.h"

namespace pw {

struct AppState;

using ByteBuffer = std::vector<std::uint8_t>;

enum RecordType : int {
    kPrimaryRecordType = 0,
    kForwardedRecordType = 1,
    kForwardingStubType = 2,
    kIndexRecordType = 3,
    kBlobFragmentType = 4,
    kGhostIndexRecordType = 5,
    kGhostDataRecordType = 6,
    kGhostVersionRecordType = 7,
};

constexpr std::uint8_t kStatusCompressed = 0x01;
constexpr std::uint8_t kStatusNullBitmap = 0x10;
constexpr std::uint8_t kStatusVarColumns = 0x20;
constexpr std::uint8_t kStatusBit6 = 0x40;
constexpr std::uint16_t kComplexColumnFlag = 0x8000;
// The largest row SQL Server stores in one page.
constexpr int kMaxRowBytes = 8060;
// `fixedLength` of a forwarding stub whose forwarded record could not be read.
constexpr int kForwardNotFollowed = -5;
// Kind of a complex value that holds the sparse columns of a row.
constexpr int kSparseVectorKind = 5;

// One variable-length column value (plain format) or long data item (compressed format).
struct VarValue {
    ByteBuffer data;
    int length = 0;
    bool isComplex = false;
};

// One column of a sparse column vector.
struct SparseEntry {
    int columnId = 0;
    ByteBuffer data;
    int length = 0;
};

// Per column of an expanded compressed record: null or not, and the bytes written.
struct ColumnNullMark {
    bool isNull = false;
    int length = 0;
    int offset = -1;  // where the column's bytes start in the expanded image; -1 when it has none
};

class CRecord {
public:
    CRecord() = default;
    virtual ~CRecord() = default;
    CRecord(const CRecord&) = default;
    CRecord& operator=(const CRecord&) = default;
    CRecord(CRecord&&) = default;
    CRecord& operator=(CRecord&&) = default;

    int recordType = 0;
    bool isCompressed = false;
    bool hasNullBitmap = false;
    bool hasVarColumns = false;
    bool isDeleted = false;
    bool isInvalid = false;
    // Bytes available from the record start to the page end.
    int maxLength = 0;

    // Plain format: bytes 4 .. end of the fixed part. Compressed format: the
    // short data region, replaced by the expanded row image on expansion.
    ByteBuffer fixedData;
    int columnCount = 0;
    ByteBuffer nullBitmap;

    int varColumnCount = 0;
    std::vector<std::uint16_t> varOffsets;  // end offsets, complex flag removed
    std::vector<VarValue> varValues;        // compressed format: the long data items
    std::vector<SparseEntry> sparseVector;

    ByteBuffer recordImage;
    int recordLength = 0;

    // Compressed format: long data end offsets as stored (bit 15 a flag).
    std::vector<std::uint16_t> longOffsets;
    std::vector<ColumnNullMark> columnNullMarks;

    // The page the record was read from (not owned).
    const CPage* ownerPage = nullptr;

    // Scratch flags the row decoder sets before each variable column for the out-of-row readers.
    bool binaryValue = false;
    bool variantValue = false;
    bool unicodeValue = false;

    // True when column `column` (0-based) has its bit set in the null bitmap;
    // false when there is no bitmap or the column lies beyond it.
    bool NullBit(int column) const {
        if (column < 0) return false;
        const auto byte = static_cast<std::size_t>(column) / 8;
        if (byte >= nullBitmap.size()) return false;
        return (nullBitmap[byte] >> (column % 8)) & 1u;
    }
};

// Whether a consumer takes the record: present, valid, not an index record,
// and without the deleted mark unless deleted records are shown.
bool IsListableRecord(const CRecord* record, const AppState& state);

}  // namespace pw
