// Parsing of one record: status bytes, forwarding stubs, the plain format and
// the length probe of the deleted-record scan. The compressed format is in
// CompressedRecordFormat.cpp.
//
// A record is cut out of a page image at a slot offset and may be damaged
// anywhere. The parse works on a view that ends at the page end (or earlier),
// and `limit` is the room the page leaves for the record: every copy checks
// its whole range against it, so no piece is ever taken from beyond the page.

#include <algorithm>
#include <optional>

#include "pages/PageSource.h"
#include "pages/PrimaryRecordPage.h"
#include "pages/RecordFormats.h"
#include "support/AppState.h"

namespace pw {

namespace record_format {

void DecodeStatusA(CPrimaryRecord& record, std::uint8_t statusA, bool setType) {
    if (setType) record.recordType = (statusA >> 1) & 7;
    record.isCompressed = (statusA & kStatusCompressed) != 0;
    record.hasNullBitmap = (statusA & kStatusNullBitmap) != 0;
    record.hasVarColumns = (statusA & kStatusVarColumns) != 0;
    record.statusBit6 = (statusA & kStatusBit6) != 0;
}

}  // namespace record_format

namespace {

using record_format::DecodeStatusA;

ByteBuffer CopyRange(ByteView bytes, std::size_t from, std::size_t to) {
    const ByteView part = bytes.Sub(from, to - from);
    return ByteBuffer(part.data(), part.data() + part.size());
}

// A record cannot come from a page whose own address is damaged or whose
// type holds no records.
bool PageForbidsRecords(const CPage* ownerPage) {
    if (ownerPage == nullptr) return false;
    const CPage_Header& header = ownerPage->Header();
    return header.thisPage.page < 0 || header.pageType > kLastRecordPageType;
}

// Primary, forwarded and forwarding-stub records always pass; ghost data
// records (deleted rows still in the slot array) pass when deleted rows are shown.
bool RecordTypePasses(int type, const AppState& state) {
    if (type == kPrimaryRecordType || type == kForwardedRecordType || type == kForwardingStubType) return true;
    return state.m_bShowDeleted && type == kGhostDataRecordType;
}

bool IsDeletedType(int type) {
    return type == kGhostIndexRecordType || type == kGhostDataRecordType || type == kGhostVersionRecordType;
}

// A sparse column vector:
//   0  2     complex column kind (5)
//   2  2     m, the number of sparse columns stored
//   4  2*m   column ids
//   .  2*m   end offsets of the values, from the vector start
//   .        the values
void ParseSparseVector(CRecord& record, const VarValue& value, const AppState& state) {
    const ByteView v(value.data.data(), value.data.size());
    const int n = static_cast<int>(value.data.size());
    const int m = v.U16(2);
    if (!(4 + 2 * m < 8192 && 4 + 4 * m < 8192 && n > 4 && 4 + 2 * m < n)) return;
    int previous = 4 + 4 * m;
    for (int k = 0; k < m && !state.StopRequested(); ++k) {
        SparseEntry entry;
        entry.columnId = v.U16(static_cast<std::size_t>(4 + 2 * k));
        const int end = v.U16(static_cast<std::size_t>(4 + 2 * m + 2 * k));
        if (previous < end && end - previous <= kMaxRowBytes && previous <= 8059 && end <= n) {
            entry.data = CopyRange(v, static_cast<std::size_t>(previous), static_cast<std::size_t>(end));
            entry.length = end - previous;
        }
        record.sparseVector.push_back(std::move(entry));
        previous = end;
    }
}

// Reads what follows the fixed part of a plain record. `limit` bounds every
// copy (and, in the probe, every computed length); `copy` is clear for the
// probe, which wants the length only.
class PlainParser {
public:
    PlainParser(CPrimaryRecord& record, ByteView bytes, int limit, bool copy, const AppState& state)
        : r_(record), b_(bytes), limit_(limit), copy_(copy), state_(state) {}

    // Returns the record length, or -1 when the column count is out of range
    // or the record is an index record (no column count is read for those).
    int Run() {
        const int type = r_.recordType;
        r_.statusByteBIsOne = b_.U8(1) == 1;

        const int fixedEnd = b_.U16(2);
        const int fixedLength = fixedEnd - 4;
        int pos = 4;
        bool fixedTaken = false;
        if (fixedLength >= 1 && fixedLength <= 8059 && type != kIndexRecordType && fixedEnd <= limit_) {
            if (copy_) r_.fixedData = CopyRange(b_, 4, static_cast<std::size_t>(fixedEnd));
            r_.fixedLength = fixedLength;
            fixedTaken = true;
            pos = fixedEnd;
        }
        if (type == kIndexRecordType) return -1;

        // The column count and the null bitmap must lie inside the record's
        // room; a record that places them past the page end is damaged.
        if (copy_ && pos + 2 > limit_) return Invalid();
        const int columnCount = b_.U16(static_cast<std::size_t>(pos));
        r_.columnCount = columnCount;
        if (columnCount < 1 || columnCount > 1023) return -1;
        pos += 2;

        if (r_.hasNullBitmap) {
            const int bitmapBytes = (columnCount + 7) / 8;
            if (copy_) {
                if (pos + bitmapBytes > limit_) return Invalid();
                r_.nullBitmap = CopyRange(b_, static_cast<std::size_t>(pos), static_cast<std::size_t>(pos + bitmapBytes));
            }
            pos += bitmapBytes;
        }
        if (r_.hasVarColumns) pos = VariableColumns(pos, columnCount, fixedTaken);

        if (copy_ && pos >= 1 && pos <= limit_) r_.recordImage = CopyRange(b_, 0, static_cast<std::size_t>(pos));
        r_.recordLength = pos;
        return pos;
    }

private:
    int Invalid() {
        r_.isInvalid = true;
        return -1;
    }

    std::uint16_t ReadInside(int at) const {
        return at >= 0 && at + 2 <= limit_ ? b_.U16(static_cast<std::size_t>(at)) : 0;
    }

    int VariableColumns(int s, int columnCount, bool fixedTaken) {
        int count = columnCount;
        if (fixedTaken || r_.hasNullBitmap) {
            count = ReadInside(s);
            s += 2;
        }
        if (count > columnCount) {
            r_.varColumnCount = 0;
            return 0;
        }
        r_.varColumnCount = count;
        if (count < 1 || count > 1023) return s;

        // The offset array is read twice (ends, then complex flags) rather
        // than copied: a record is parsed for every row listed.
        const int offsetsAt = s;
        r_.varOffsets.reserve(static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k) {
            const std::uint16_t raw = ReadInside(s);
            s += 2;
            r_.varOffsets.push_back(static_cast<std::uint16_t>(raw & ~kComplexColumnFlag));
        }

        int start = s;
        if (copy_) r_.varValues.reserve(static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k) {
            if (state_.StopRequested()) break;
            const int end = r_.varOffsets[static_cast<std::size_t>(k)];
            VarValue value;
            value.isComplex = (ReadInside(offsetsAt + 2 * k) & kComplexColumnFlag) != 0;
            if (end - start >= 0 && end <= limit_ && end < 8192 && end - start < 8192 && start != end && start >= 1 &&
                start <= 8191) {
                if (copy_) value.data = CopyRange(b_, static_cast<std::size_t>(start), static_cast<std::size_t>(end));
                value.length = end - start;
                start = end;
            }
            if (copy_) r_.varValues.push_back(std::move(value));
        }

        if (copy_) {
            for (const VarValue& value : r_.varValues) {
                if (!value.isComplex || value.length == 16 || value.data.empty()) continue;
                const ByteView v(value.data.data(), value.data.size());
                const int kind = v.U8(0) != 0 ? v.U8(0) : v.U16(0);
                if (kind == kSparseVectorKind && r_.sparseVector.empty()) ParseSparseVector(r_, value, state_);
            }
        }
        return start;
    }

    CPrimaryRecord& r_;
    ByteView b_;
    int limit_;
    bool copy_;
    const AppState& state_;
};

// A forwarding stub:
//   0  1  status byte A (record type 2)
//   1  4  page number of the forwarded record
//   5  2  file id
//   7  2  slot number
std::optional<ByteBuffer> FetchForwardedRecord(ByteView stub, int limit, const CPage* ownerPage, PageSource* pages,
                                               const AppState& state) {
    if (pages == nullptr || limit < 9) return std::nullopt;
    const std::uint32_t pageNumber = stub.U32(1);
    const std::uint16_t fileId = stub.U16(5);
    const std::uint16_t slot = stub.U16(7);
    std::optional<PageImage> image = pages->FetchPage(fileId, pageNumber);
    if (!image) return std::nullopt;
    const PrimaryRecordPage target(std::move(*image), ownerPage ? ownerPage->FileSet() : nullptr, pages, state,
                                   OneSlot{slot});
    const CPrimaryRecord* forwarded = target.Record(0);
    if (forwarded == nullptr || forwarded->recordImage.empty()) return std::nullopt;
    return forwarded->recordImage;
}

}  // namespace

CPrimaryRecord::CPrimaryRecord(ByteView bytes, const CPage* owner, int maxLengthIn, const AppState& state,
                               PageSource* pages, bool followStubs) {
    ownerPage = owner;
    maxLength = maxLengthIn;
    const int limit = std::max(0, std::min(maxLengthIn, static_cast<int>(bytes.size())));
    if (PageForbidsRecords(owner) || limit < 1) {
        isInvalid = true;
        return;
    }
    DecodeStatusA(*this, bytes.U8(0), true);
    isDeleted = IsDeletedType(recordType) && !state.m_bShowDeleted;
    if (!RecordTypePasses(recordType, state)) {
        isInvalid = true;
        return;
    }
    if (isCompressed) {
        record_format::ParseCompressedFormat(*this, bytes.Sub(0, static_cast<std::size_t>(limit)), limit, state);
        return;
    }
    if (recordType == kForwardingStubType) {
        std::optional<ByteBuffer> forwarded =
            followStubs ? FetchForwardedRecord(bytes, limit, owner, pages, state) : std::nullopt;
        if (!forwarded) {
            fixedLength = kForwardNotFollowed;
            return;
        }
        // The row continues from the forwarded record's bytes; it stays a stub by type.
        DecodeStatusA(*this, (*forwarded)[0], false);
        const ByteView copy(forwarded->data(), forwarded->size());
        PlainParser(*this, copy, static_cast<int>(copy.size()), true, state).Run();
        return;
    }
    PlainParser(*this, bytes.Sub(0, static_cast<std::size_t>(limit)), limit, true, state).Run();
}

std::unique_ptr<CPrimaryRecord> CPrimaryRecord::ParseAnchor(ByteView bytes, const CPage* owner, int maxLengthIn,
                                                            const AppState& state) {
    auto record = std::make_unique<CPrimaryRecord>();
    record->ownerPage = owner;
    record->maxLength = maxLengthIn;
    const int limit = std::max(0, std::min(maxLengthIn, static_cast<int>(bytes.size())));
    if (PageForbidsRecords(owner) || limit < 1) {
        record->isInvalid = true;
        return record;
    }
    DecodeStatusA(*record, bytes.U8(0), true);
    record->isCompressed = true;
    record->isDeleted = IsDeletedType(record->recordType) && !state.m_bShowDeleted;
    if (!RecordTypePasses(record->recordType, state)) {
        record->isInvalid = true;
        return record;
    }
    record_format::ParseCompressedFormat(*record, bytes.Sub(0, static_cast<std::size_t>(limit)), limit, state);
    return record;
}

int CPrimaryRecord::ProbeLength(ByteView bytes, const CPage* owner, const AppState& state) {
    if (PageForbidsRecords(owner) || bytes.empty()) return -1;
    CPrimaryRecord probe;
    probe.maxLength = kMaxRowBytes;
    DecodeStatusA(probe, bytes.U8(0), true);
    if (!RecordTypePasses(probe.recordType, state)) return -1;
    if (probe.isCompressed || probe.recordType == kForwardingStubType) return -1;
    return PlainParser(probe, bytes, kMaxRowBytes, false, state).Run();
}

}  // namespace pw
