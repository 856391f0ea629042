#pragma once
// Builds compressed (column-descriptor) records, compression information
// records and whole page-compressed page images for tests.

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/ColumnDescriptor.h"
#include "forge/PageBuilder.h"
#include "pages/CompressedRow.h"

namespace forge {

// One column of a compressed record: its descriptor code and stored bytes
// (1..8 short bytes for codes 2..9, the long item for code 10, the symbol
// byte for code 12, nothing otherwise).
struct CdValue {
    std::uint8_t code = 0;
    Bytes bytes;
};

// The on-disk bytes of a compressed record of the given record type.
Bytes BuildCompressedRecord(const std::vector<CdValue>& values, std::uint8_t recordType = 0);

// The record's pieces as the record parser would hand them to expansion; the
// view points into `storage`, which must outlive it.
struct CompressedRowStorage {
    std::vector<std::uint8_t> codes;
    Bytes shortData;
    std::vector<Bytes> longItems;
    pw::CompressedRowView View() const;
};
CompressedRowStorage SplitCompressedRecord(const std::vector<CdValue>& values);

// The compression information record placed at page offset 96: flags,
// modification count, the offsets of the present parts, the anchor record and
// the dictionary.
struct CompressionInfoParts {
    bool withAnchor = false;
    bool withDictionary = false;
    std::vector<CdValue> anchor;
    std::vector<Bytes> dictionary;
};
Bytes BuildCompressionInfo(const CompressionInfoParts& parts);

// A compressed data page: header with typeFlagBits bit 7, the information
// record at 96 (when `info` is not empty), then the records and their slots.
pw::PageImage BuildCompressedPage(const Bytes& info, const std::vector<Bytes>& records);

// A column description as the catalog makes it, for expansion tests.
pw::ColumnDescriptor Column(int valueKind, const std::string& typeText);

}  // namespace forge
