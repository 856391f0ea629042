#pragma once
// Row- and page-compressed records: the compression information of a page and
// the expansion of a compressed record into a row image with one slot per
// column, which the row decoder reads like the fixed part of a plain record.
//
// Compressed (column-descriptor) record, as split by the record parser:
//   descriptor codes   one 4-bit code per column (see CompressedCode)
//   short data region  the 1..8-byte values of codes 2..9, one byte per code 12
//   long data region   the values of code 10, in column order
//
// Compression information record of a page-compressed page (bit 7 of the
// header's typeFlagBits), right after the header:
//   offset width
//   96     1     flags: 0x02 anchor record present, 0x04 dictionary present
//   97     2     modification count, not interpreted
//   99     2     one offset per present part, counted from offset 96:
//                with anchor and dictionary, 99 = start of the dictionary
//                (end of the anchor) and 101 = end of the whole record;
//                with one part only, 99 = end of the whole record
//   then         the anchor record (compressed format), then the dictionary
//
// Page dictionary: a 16-bit entry count n, n 16-bit end offsets counted from
// the dictionary start, then the entry bytes (the first entry starts at
// dictionary start + 2 + 2n). A record refers to entry k by the symbol k.
//
// Everything here reads through ByteView: no offset found in a page is
// trusted, and damaged input yields fewer values, never a read outside the
// bytes given.

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "catalog/ColumnDescriptor.h"
#include "pages/PrimaryRecordPage.h"
#include "support/ByteView.h"

namespace pw {

// The 4-bit column descriptor codes of the compressed record format.
enum CompressedCode : std::uint8_t {
    kCodeNull = 0,         // the value is NULL
    kCodeEmpty = 1,        // zero-length value; with an anchor: the anchor value
    kCodeShort1 = 2,       // 2..9: a value of 1..8 bytes in the short data region
    kCodeShort8 = 9,
    kCodeLong = 10,        // the value is the next item of the long data region
    kCodeBitTrue = 11,     // no stored bytes
    kCodePageSymbol = 12,  // one short data byte: a page dictionary symbol
};

// Bytes a code takes in the short data region.
std::size_t ShortDataSize(std::uint8_t code);

// Compressed integers are big-endian two's complement in as few bytes as the
// value needs, with the top bit of the first byte inverted: 5 is 0x85, -1 is
// 0x7F, 300 is 0x81 0x2C. An empty value is 0; only the first 8 bytes count.
std::int64_t DecodeCompressedInteger(ByteView bytes);

// One value of the anchor record: its bytes and length, or a length of
// kAnchorNull or kAnchorEmpty.
constexpr int kAnchorNull = -2;
constexpr int kAnchorEmpty = -1;
using AnchorValue = CompressedValue;
// One page dictionary entry; an entry that could not be read has length 0.
using DictionaryEntry = CompressedValue;

// The fixed fields of the compression information record.
struct CompressionInfoHeader {
    bool present = false;           // compressed page with a non-empty information record
    std::uint8_t flags = 0;
    bool hasAnchor = false;
    bool hasDictionary = false;
    std::uint16_t dictionaryOffset = 0;  // from offset 96; 0 without a dictionary
    std::uint16_t infoLength = 0;        // end of the information record, from offset 96
    std::size_t anchorOffset = 0;        // page offset of the anchor record
    std::size_t anchorMaxLength = 0;     // bytes the anchor may take
};

constexpr std::uint8_t kCompressionHasAnchor = 0x02;
constexpr std::uint8_t kCompressionHasDictionary = 0x04;

// Reads the fields at offsets 96..102 of a page image. `present` is false
// when the page is not marked compressed or its information length is 0.
CompressionInfoHeader ReadCompressionInfoHeader(ByteView page);

// Reads the page dictionary. Entries keep their symbol numbers: an entry that
// fails the bounds checks stays in the list as an empty entry, so the
// symbols after it still find their own bytes.
std::vector<DictionaryEntry> ReadPageDictionary(ByteView page, const CompressionInfoHeader& info);

// The pieces of a parsed compressed record that expansion reads.
struct CompressedRowView {
    std::span<const std::uint8_t> codes;  // one descriptor code per column
    ByteView shortData;                   // the short data region
    std::vector<ByteView> longItems;      // the long data items, in order
    std::vector<bool> longIsComplex;      // per long item: an out-of-row pointer, never rewritten
};

// The anchor values, one per anchor column up to `columnLimit`: code 0 gives
// a null entry, code 1 an empty one, codes 2..9 the short bytes, code 10 the
// next long item; codes 11 and 12 add no entry.
std::vector<AnchorValue> BuildAnchorValues(const CompressedRowView& anchor, std::size_t columnLimit);

// How expansion treats a column's values.
enum class CompressedGroup {
    kPlain,    // bytes as stored
    kInteger,  // bigint, int, smallint, datetime, money, smallmoney: compressed integers
    kUnicode,  // nchar(n), nvarchar(n) (not nvarchar(max)): SCSU-compressed text
};
CompressedGroup GroupOfColumn(const ColumnDescriptor& column);

// The slot width W of a column in the expanded image: the type's stored width,
// or for character and binary types the declared length in the column's type
// text when it is above 0 and below that width.
std::size_t ExpandedColumnWidth(const ColumnDescriptor& column);

// One entry per expanded column.
struct ExpandedColumnMark {
    bool isNull = false;
    int length = 0;  // bytes of the value in the image; 0 when none was written
    int offset = -1; // start of the column's slot in the image; -1 when it has no slot
};

struct ExpandedRow {
    std::vector<std::uint8_t> image;      // the expanded row image
    std::vector<ExpandedColumnMark> marks;
    // Long items whose bytes changed (anchor prefix, text decoding): (item index, new bytes).
    std::vector<std::pair<std::size_t, std::vector<std::uint8_t>>> longValues;
};

// The largest expanded image; columns that would reach beyond it are not expanded.
constexpr std::size_t kMaxExpandedImage = 65536;

// Expands one compressed record using the anchor values and dictionary of
// its page and the column list of the table being listed. The columns are
// passed in, never looked up: two listings can never see each other's table.
ExpandedRow ExpandCompressedRow(const CompressedRowView& row, std::span<const AnchorValue> anchorValues,
                                std::span<const DictionaryEntry> dictionary,
                                std::span<const ColumnDescriptor> columns);

}  // namespace pw
