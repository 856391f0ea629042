// Compressed record expansion: a compressed row's pieces, anchor values and
// page dictionary against a column list, and the compression information
// record and dictionary of a page image.
//
// Input: columns, codes (part), short data (part), long item count and
// items (parts, bit 0 of a flag byte: complex), anchor count and values
// (length as signed 16 bits: -2 null, -1 empty; then up to that many bytes),
// dictionary count and entries (parts), then a page image (the rest).

#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "pages/CompressedRow.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader in(data, size);
    const std::vector<pw::ColumnDescriptor> columns = fuzz::ReadColumns(in);
    const fuzz::Bytes codes = in.Part();
    const fuzz::Bytes shortData = in.Part();
    std::vector<fuzz::Bytes> longItems(in.U8() % 32);
    std::vector<bool> longComplex;
    for (fuzz::Bytes& item : longItems) {
        longComplex.push_back((in.U8() & 1) != 0);
        item = in.Part();
    }
    std::vector<pw::AnchorValue> anchors(in.U8() % 32);
    for (pw::AnchorValue& anchor : anchors) {
        anchor.length = static_cast<std::int16_t>(in.U16());
        anchor.bytes = in.Take(anchor.length > 0 ? static_cast<std::size_t>(anchor.length) : 0);
        // The page reader keeps the length and the bytes in step; so does this input.
        if (anchor.length >= 0) anchor.length = static_cast<int>(anchor.bytes.size());
        else if (anchor.length < pw::kAnchorNull) anchor.length = pw::kAnchorNull;
    }
    std::vector<pw::DictionaryEntry> dictionary(in.U8() % 64);
    for (pw::DictionaryEntry& entry : dictionary) {
        entry.bytes = in.Part();
        entry.length = static_cast<int>(entry.bytes.size());
    }
    const fuzz::Bytes page = in.Rest();

    std::size_t seen = 0;
    pw::CompressedRowView row;
    row.codes = std::span<const std::uint8_t>(codes);
    row.shortData = pw::ByteView(shortData.data(), shortData.size());
    for (const fuzz::Bytes& item : longItems) row.longItems.emplace_back(item.data(), item.size());
    row.longIsComplex = longComplex;
    const pw::ExpandedRow expanded = pw::ExpandCompressedRow(row, anchors, dictionary, columns);
    seen += expanded.image.size() + expanded.marks.size() + expanded.longValues.size();
    seen += pw::BuildAnchorValues(row, columns.size()).size();
    for (const pw::ColumnDescriptor& c : columns) seen += pw::ExpandedColumnWidth(c);

    const pw::ByteView pageView(page.data(), page.size());
    const pw::CompressionInfoHeader info = pw::ReadCompressionInfoHeader(pageView);
    for (const pw::DictionaryEntry& entry : pw::ReadPageDictionary(pageView, info)) seen += entry.bytes.size();
    seen += static_cast<std::size_t>(pw::DecodeCompressedInteger(pw::ByteView(shortData.data(), shortData.size())));
    fuzz::Keep(seen);
    return 0;
}
