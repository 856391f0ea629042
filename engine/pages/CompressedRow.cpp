#include "pages/CompressedRow.h"

#include <algorithm>
#include <charconv>

#include "pages/PageHeader.h"
#include "support/Scsu.h"

namespace pw {

namespace {

constexpr std::size_t kInfoStart = kPageHeaderSize;  // 96
// The dictionary and its entries must start in the first half of the page.
constexpr std::size_t kDictionaryLimit = 4096;

// Value kinds (the row decoder's codes) that expansion treats specially.
enum : int {
    kKindBigint = 0,
    kKindBinary = 1,
    kKindBit = 2,
    kKindChar = 3,
    kKindDatetime = 4,
    kKindDate = 5,
    kKindTime = 6,
    kKindDatetime2 = 7,
    kKindDatetimeOffset = 8,
    kKindInt = 9,
    kKindNchar = 10,
    kKindNvarchar = 11,
    kKindSmallint = 13,
    kKindTinyint = 14,
    kKindGuid = 15,
    kKindVarbinary = 16,
    kKindVarchar = 17,
    kKindMoney = 21,
    kKindFloat = 22,
    kKindNumeric = 23,
    kKindDecimal = 24,
    kKindSmalldatetime = 27,
    kKindReal = 28,
    kKindSmallmoney = 29,
    kKindTimestamp = 30,
};

// The stored width of each system type, as SQL Server's type list gives it.
std::size_t TypeWidth(int kind) {
    switch (kind) {
    case kKindBigint: case kKindDatetime: case kKindDatetime2: case kKindMoney: case kKindFloat:
    case kKindTimestamp:
        return 8;
    case kKindInt: case kKindSmalldatetime: case kKindReal: case kKindSmallmoney:
        return 4;
    case kKindSmallint: return 2;
    case kKindTinyint: case kKindBit: return 1;
    case kKindDate: return 3;
    case kKindTime: return 5;
    case kKindDatetimeOffset: return 10;
    case kKindGuid: return 16;
    case kKindNumeric: case kKindDecimal: return 17;
    default: return 8000;  // character, binary and other variable types
    }
}

// The number between the first "(" and the following ")" of a type text, or -1.
int DeclaredLength(const std::string& typeText) {
    const auto open = typeText.find('(');
    if (open == std::string::npos) return -1;
    const auto close = typeText.find(')', open + 1);
    if (close == std::string::npos) return -1;
    int value = -1;
    const char* first = typeText.data() + open + 1;
    const char* last = typeText.data() + close;
    const auto result = std::from_chars(first, last, value);
    if (result.ec != std::errc() || result.ptr != last) return -1;
    return value;
}

std::vector<std::uint8_t> Copy(ByteView v) { return std::vector<std::uint8_t>(v.data(), v.data() + v.size()); }

// The bytes of a value, never more than it holds.
ByteView BytesOf(const CompressedValue& value) {
    const std::size_t length = value.length > 0 ? static_cast<std::size_t>(value.length) : 0;
    return ByteView(value.bytes.data(), std::min(length, value.bytes.size()));
}

// The value a stored value stands for when its column has an anchor value:
// the first k anchor bytes (k = the stored value's first byte) followed by
// the rest of the stored value. Returns false when the value is not a prefix
// reference (no anchor, or k beyond the anchor).
bool ApplyAnchorPrefix(const AnchorValue* anchor, ByteView stored, std::size_t k,
                       std::vector<std::uint8_t>& value) {
    if (anchor == nullptr || stored.empty()) return false;
    const ByteView prefix = BytesOf(*anchor);
    if (prefix.empty() || k > prefix.size()) return false;
    value.assign(prefix.data(), prefix.data() + k);
    value.insert(value.end(), stored.data() + 1, stored.data() + stored.size());
    return true;
}

class Expander {
public:
    Expander(const CompressedRowView& row, std::span<const AnchorValue> anchors,
             std::span<const DictionaryEntry> dictionary, std::span<const ColumnDescriptor> columns)
        : row_(row), anchors_(anchors), dictionary_(dictionary), columns_(columns) {}

    ExpandedRow Run() {
        const std::size_t count = std::min(row_.codes.size(), columns_.size());
        for (std::size_t i = 0; i < count; ++i) {
            const ColumnDescriptor& column = columns_[i];
            width_ = ExpandedColumnWidth(column);
            group_ = GroupOfColumn(column);
            if (w_ + width_ > kMaxExpandedImage) break;
            anchor_ = nullptr;
            if (i < anchors_.size() && anchors_[i].length > 0) anchor_ = &anchors_[i];

            const std::uint8_t code = row_.codes[i];
            ExpandedColumnMark mark;
            mark.isNull = code == kCodeNull;
            const std::size_t slotStart = w_;
            if (code == kCodeEmpty) {
                if (anchor_ != nullptr) mark.length = WriteValue(BytesOf(*anchor_));
            } else if (code >= kCodeShort1 && code <= kCodeShort8) {
                const std::size_t size = ShortDataSize(code);
                const ByteView stored = row_.shortData.Sub(s_, size);
                s_ += size;
                mark.length = WriteStored(stored, stored.empty() ? 0 : stored.U8(0));
            } else if (code == kCodeLong) {
                ExpandLong();
            } else if (code == kCodePageSymbol) {
                mark.length = ExpandSymbol();
            }
            // Values are written at the start of their slot; a column that
            // took no slot (null, empty without anchor, a long value) has none.
            if (w_ != slotStart) mark.offset = static_cast<int>(slotStart);
            out_.marks.push_back(mark);
        }
        out_.image.resize(w_);
        return std::move(out_);
    }

private:
    // A short or dictionary value, possibly a prefix reference into the anchor.
    int WriteStored(ByteView stored, std::size_t k) {
        if (stored.empty()) {
            w_ += width_;  // the bytes are missing: the slot stays zero
            return 0;
        }
        std::vector<std::uint8_t> value;
        if (!ApplyAnchorPrefix(anchor_, stored, k, value)) value = Copy(stored);
        return WriteValue(ByteView(value.data(), value.size()));
    }

    // Writes one value into the column's slot and advances by the slot width.
    int WriteValue(ByteView value) {
        Reserve(w_ + width_);
        std::size_t written = 0;
        if (group_ == CompressedGroup::kInteger) {
            // Little-endian, the slot's width of low-order bytes.
            const auto number = static_cast<std::uint64_t>(DecodeCompressedInteger(value));
            written = std::min<std::size_t>(width_, 8);
            for (std::size_t b = 0; b < written; ++b)
                out_.image[w_ + b] = static_cast<std::uint8_t>(number >> (8 * b));
        } else if (group_ == CompressedGroup::kUnicode) {
            const std::string text = ScsuToUtf16Le(value);
            written = std::min(text.size(), width_);
            std::copy_n(text.begin(), written, out_.image.begin() + static_cast<std::ptrdiff_t>(w_));
        } else {
            written = std::min(value.size(), width_);
            std::copy_n(value.data(), written, out_.image.begin() + static_cast<std::ptrdiff_t>(w_));
        }
        w_ += width_;
        return static_cast<int>(written);
    }

    void ExpandLong() {
        const std::size_t j = j_++;
        if (j >= row_.longItems.size()) return;
        if (j < row_.longIsComplex.size() && row_.longIsComplex[j]) return;
        const ByteView item = row_.longItems[j];
        std::vector<std::uint8_t> value;
        bool changed = false;
        if (!item.empty() && ApplyAnchorPrefix(anchor_, item, item.U8(0), value) && value.size() < width_)
            changed = true;
        else
            value = Copy(item);
        if (group_ == CompressedGroup::kUnicode && !value.empty()) {
            const std::string text = ScsuToUtf16Le(ByteView(value.data(), value.size()));
            value.assign(text.begin(), text.end());
            changed = true;
        }
        if (changed) out_.longValues.emplace_back(j, std::move(value));
    }

    int ExpandSymbol() {
        const bool has = row_.shortData.Has(s_, 1);
        const std::size_t symbol = row_.shortData.U8(s_);
        s_ += 1;
        if (!has || symbol >= dictionary_.size()) return 0;
        const ByteView stored = BytesOf(dictionary_[symbol]);
        const std::size_t limit = group_ == CompressedGroup::kInteger ? 8 : width_ + 1;
        if (stored.empty() || stored.size() > limit) return 0;
        std::size_t k = stored.U8(0);
        if (group_ == CompressedGroup::kInteger) k &= 0x7F;
        return WriteStored(stored, k);
    }

    void Reserve(std::size_t size) {
        if (out_.image.size() < size) out_.image.resize(size, 0);
    }

    const CompressedRowView& row_;
    std::span<const AnchorValue> anchors_;
    std::span<const DictionaryEntry> dictionary_;
    std::span<const ColumnDescriptor> columns_;
    ExpandedRow out_;
    std::size_t w_ = 0;  // write position in the image
    std::size_t s_ = 0;  // read position in the short data region
    std::size_t j_ = 0;  // next long item
    std::size_t width_ = 0;
    CompressedGroup group_ = CompressedGroup::kPlain;
    const AnchorValue* anchor_ = nullptr;
};

}  // namespace

std::size_t ShortDataSize(std::uint8_t code) {
    if (code >= kCodeShort1 && code <= kCodeShort8) return static_cast<std::size_t>(code - 1);
    if (code == kCodePageSymbol) return 1;
    return 0;
}

std::int64_t DecodeCompressedInteger(ByteView bytes) {
    const std::size_t n = std::min<std::size_t>(bytes.size(), 8);
    if (n == 0) return 0;
    const std::uint8_t first = static_cast<std::uint8_t>(bytes.U8(0) ^ 0x80);
    std::uint64_t value = first;
    for (std::size_t i = 1; i < n; ++i) value = (value << 8) | bytes.U8(i);
    if (n < 8 && (first & 0x80) != 0) value |= ~std::uint64_t{0} << (8 * n);  // sign extension
    return static_cast<std::int64_t>(value);
}

CompressionInfoHeader ReadCompressionInfoHeader(ByteView page) {
    CompressionInfoHeader info;
    if ((page.U8(2) & kCompressedPageFlag) == 0 || !page.Has(kInfoStart, 5)) return info;
    info.flags = page.U8(kInfoStart);
    info.hasAnchor = (info.flags & kCompressionHasAnchor) != 0;
    info.hasDictionary = (info.flags & kCompressionHasDictionary) != 0;
    // One 2-byte offset follows the modification count for each part present.
    if (info.hasAnchor && info.hasDictionary) {
        info.dictionaryOffset = page.U16(99);
        info.infoLength = page.U16(101);
        info.anchorOffset = 103;
        info.anchorMaxLength = info.infoLength > 7 ? info.infoLength - 7u : 0;
    } else if (info.hasAnchor) {
        info.infoLength = page.U16(99);
        info.anchorOffset = 101;
        info.anchorMaxLength = info.infoLength > 5 ? info.infoLength - 5u : 0;
    } else if (info.hasDictionary) {
        info.infoLength = page.U16(99);
        info.dictionaryOffset = 5;
    } else {
        info.infoLength = page.U16(101);
    }
    if (info.anchorOffset != 0)
        info.anchorMaxLength = std::min(info.anchorMaxLength,
                                        page.size() > info.anchorOffset ? page.size() - info.anchorOffset : 0);
    info.present = info.infoLength > 0;
    return info;
}

std::vector<DictionaryEntry> ReadPageDictionary(ByteView page, const CompressionInfoHeader& info) {
    std::vector<DictionaryEntry> entries;
    if (!info.present || !info.hasDictionary) return entries;
    const std::size_t d = info.dictionaryOffset;
    const std::size_t length = info.infoLength;
    if (!(d > 0 && d < length && length < kDictionaryLimit && kInfoStart + d < kDictionaryLimit)) return entries;
    // The dictionary lies inside the information record.
    const ByteView dictionary = page.Sub(kInfoStart + d, length - d);
    const std::size_t n = dictionary.U16(0);
    if (n == 0 || !dictionary.Has(2, 2 * n)) return entries;
    std::size_t previous = 2 + 2 * n;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t end = dictionary.U16(2 + 2 * k);
        if (end > kDictionaryLimit) break;  // the offsets end here
        DictionaryEntry entry;
        const bool sound = end > previous && end - previous < length &&
                           kInfoStart + d + previous < kDictionaryLimit && dictionary.Has(previous, end - previous);
        if (sound) {
            entry.bytes = Copy(dictionary.Sub(previous, end - previous));
            entry.length = static_cast<int>(entry.bytes.size());
        }
        entries.push_back(std::move(entry));  // a failing entry keeps its symbol number, empty
        previous = end;
    }
    return entries;
}

std::vector<AnchorValue> BuildAnchorValues(const CompressedRowView& anchor, std::size_t columnLimit) {
    std::vector<AnchorValue> values;
    const std::size_t count = std::min(anchor.codes.size(), columnLimit);
    std::size_t s = 0;
    std::size_t j = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t code = anchor.codes[i];
        AnchorValue value;
        value.length = kAnchorNull;
        if (code == kCodeEmpty) {
            value.length = kAnchorEmpty;
        } else if (code >= kCodeShort1 && code <= kCodeShort8) {
            const ByteView bytes = anchor.shortData.Sub(s, ShortDataSize(code));
            if (!bytes.empty()) {
                value.bytes = Copy(bytes);
                value.length = static_cast<int>(bytes.size());
            }
        } else if (code == kCodeLong) {
            if (j < anchor.longItems.size() && !anchor.longItems[j].empty()) {
                value.bytes = Copy(anchor.longItems[j]);
                value.length = static_cast<int>(value.bytes.size());
            }
            ++j;
        }
        // Codes 11, 12 and the unused codes give a null entry, so that every
        // later column still finds its own anchor value at its own index.
        s += ShortDataSize(code);
        values.push_back(std::move(value));
    }
    return values;
}

CompressedGroup GroupOfColumn(const ColumnDescriptor& column) {
    switch (column.valueKind) {
    case kKindBigint: case kKindInt: case kKindSmallint: case kKindDatetime: case kKindMoney:
    case kKindSmallmoney:
        return CompressedGroup::kInteger;
    case kKindNchar:
        return CompressedGroup::kUnicode;
    case kKindNvarchar:
        // nvarchar(max) values are never Unicode-compressed, even in row.
        return column.typeText.find("(-1)") == std::string::npos ? CompressedGroup::kUnicode
                                                                 : CompressedGroup::kPlain;
    default:
        return CompressedGroup::kPlain;
    }
}

std::size_t ExpandedColumnWidth(const ColumnDescriptor& column) {
    std::size_t width = TypeWidth(column.valueKind);
    if (GroupOfColumn(column) != CompressedGroup::kInteger) {
        const int declared = DeclaredLength(column.typeText);
        if (declared > 0 && static_cast<std::size_t>(declared) < width) width = static_cast<std::size_t>(declared);
    }
    return width;
}

ExpandedRow ExpandCompressedRow(const CompressedRowView& row, std::span<const AnchorValue> anchorValues,
                                std::span<const DictionaryEntry> dictionary,
                                std::span<const ColumnDescriptor> columns) {
    return Expander(row, anchorValues, dictionary, columns).Run();
}

}  // namespace pw
