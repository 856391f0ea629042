#include "forge/CompressedPageBuilder.h"

namespace forge {

namespace {
void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }
void Append16(Bytes& out, std::size_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}
}  // namespace

CompressedRowStorage SplitCompressedRecord(const std::vector<CdValue>& values) {
    CompressedRowStorage parts;
    for (const CdValue& v : values) {
        parts.codes.push_back(v.code);
        if (v.code == pw::kCodeLong) parts.longItems.push_back(v.bytes);
        else if (pw::ShortDataSize(v.code) > 0) Append(parts.shortData, v.bytes);
    }
    return parts;
}

pw::CompressedRowView CompressedRowStorage::View() const {
    pw::CompressedRowView view;
    view.codes = codes;
    view.shortData = pw::ByteView(shortData.data(), shortData.size());
    for (const Bytes& item : longItems) view.longItems.emplace_back(item.data(), item.size());
    return view;
}

Bytes BuildCompressedRecord(const std::vector<CdValue>& values, std::uint8_t recordType) {
    const CompressedRowStorage parts = SplitCompressedRecord(values);
    const std::size_t n = values.size();
    Bytes out;
    std::uint8_t status = static_cast<std::uint8_t>(0x01 | ((recordType & 0x07) << 1));
    if (!parts.longItems.empty()) status |= 0x20;
    out.push_back(status);
    if (n < 0x80) {
        out.push_back(static_cast<std::uint8_t>(n));
    } else {
        Append16(out, n);  // read as two bytes when bit 7 of the first is set (128..255 here)
    }
    // Descriptor codes, two per byte, low nibble first; one cluster byte per 30 columns.
    Bytes array((n + 1) / 2, 0);
    for (std::size_t i = 0; i < n; ++i)
        array[i / 2] = static_cast<std::uint8_t>(array[i / 2] | ((values[i].code & 0x0F) << (i % 2 ? 4 : 0)));
    Append(out, array);
    out.insert(out.end(), n == 0 ? 0 : (n - 1) / 30, 0);
    Append(out, parts.shortData);
    if (!parts.longItems.empty()) {
        out.push_back(0x01);
        Append16(out, parts.longItems.size());
        std::size_t end = 0;
        for (const Bytes& item : parts.longItems) {
            end += item.size();
            Append16(out, end);
        }
        out.insert(out.end(), n == 0 ? 0 : (n - 1) / 30, 0);
        for (const Bytes& item : parts.longItems) Append(out, item);
    }
    return out;
}

Bytes BuildCompressionInfo(const CompressionInfoParts& parts) {
    Bytes anchor = parts.withAnchor ? BuildCompressedRecord(parts.anchor) : Bytes{};
    Bytes dictionary;
    if (parts.withDictionary) {
        Append16(dictionary, parts.dictionary.size());
        std::size_t end = 2 + 2 * parts.dictionary.size();
        for (const Bytes& entry : parts.dictionary) {
            end += entry.size();
            Append16(dictionary, end);
        }
        for (const Bytes& entry : parts.dictionary) Append(dictionary, entry);
    }
    const std::size_t offsets = (parts.withAnchor ? 1 : 0) + (parts.withDictionary ? 1 : 0);
    const std::size_t head = 3 + 2 * offsets;
    const std::size_t total = head + anchor.size() + dictionary.size();
    Bytes out;
    out.push_back(static_cast<std::uint8_t>((parts.withAnchor ? pw::kCompressionHasAnchor : 0) |
                                            (parts.withDictionary ? pw::kCompressionHasDictionary : 0)));
    Append16(out, 0);  // modification count
    if (parts.withAnchor && parts.withDictionary) Append16(out, head + anchor.size());  // dictionary start
    Append16(out, total);                                                               // end of the record
    Append(out, anchor);
    Append(out, dictionary);
    return out;
}

pw::PageImage BuildCompressedPage(const Bytes& info, const std::vector<Bytes>& records) {
    PageBuilder builder;
    builder.Type(pw::kDataPage).TypeFlags(pw::kCompressedPageFlag).ThisPage(1, 200).ObjectId(1000);
    pw::PageImage image = builder.Build();
    std::copy(info.begin(), info.end(), image.begin() + pw::kPageHeaderSize);
    std::size_t at = pw::kPageHeaderSize + info.size();
    std::size_t slot = 0;
    for (const Bytes& record : records) {
        std::copy(record.begin(), record.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
        PutLE(image, pw::kPageSize - 2 * (slot + 1), at, 2);
        at += record.size();
        ++slot;
    }
    PutLE(image, 22, slot, 2);  // slotCount
    PutLE(image, 30, at, 2);    // freeData
    return image;
}

pw::ColumnDescriptor Column(int valueKind, const std::string& typeText) {
    pw::ColumnDescriptor column;
    column.valueKind = valueKind;
    column.typeText = typeText;
    column.inRow = 1;
    return column;
}

}  // namespace forge
