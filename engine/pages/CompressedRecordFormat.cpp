// The compressed (column descriptor) record format of row- and
// page-compressed tables.
//
//   0      1        status byte A (bit 0 set)
//   1      1 or 2   column count n: one byte when its bit 7 is clear, else
//                   the 16-bit value of bytes 1-2
//   then   ⌈n/2⌉    descriptor array: one 4-bit code per column, low nibble first
//   then   (n-1)/30 cluster bytes, one per 30 columns
//   then            short data region: the short values back to back
//   then   ⌈n/8⌉    null bitmap bytes (when bit 4 of status byte A is set)
//   then            long data region (when bit 5 is set):
//                     1 byte header (bit 0: offsets follow), 2 bytes count k,
//                     k 16-bit end offsets (bit 15 a flag), cluster bytes,
//                     then the long values back to back
//
// Descriptor codes: 0 null, 1 empty, 2-9 a short value of 1-8 bytes, 10 a
// long value, 11 no bytes, 12 one byte (a page dictionary symbol).

#include "pages/RecordFormats.h"
#include "support/AppState.h"

namespace pw::record_format {

namespace {

ByteBuffer CopyRange(ByteView bytes, std::size_t from, std::size_t to) {
    const ByteView part = bytes.Sub(from, to - from);
    return ByteBuffer(part.data(), part.data() + part.size());
}

int ShortDataSize(std::uint8_t code) {
    if (code >= 2 && code <= 9) return code - 1;
    if (code == 12) return 1;
    return 0;
}

}  // namespace

void ParseCompressedFormat(CPrimaryRecord& r, ByteView b, int limit, const AppState& state) {
    const int type = r.recordType;

    const std::uint8_t countByte = b.U8(1);
    int columnCount = 0;
    int arrayStart = 0;
    if ((countByte & 0x80) == 0) {
        columnCount = countByte;
        arrayStart = 2;
    } else {
        columnCount = b.U16(1);
        arrayStart = 3;
    }
    r.columnCount = columnCount;
    if (columnCount == 0 || columnCount > 1024) {
        r.isInvalid = true;
        return;
    }

    for (int i = 0; i < columnCount; ++i) {
        const int at = arrayStart + i / 2;
        if (at >= limit) break;
        const std::uint8_t packed = b.U8(static_cast<std::size_t>(at));
        r.descriptorCodes.push_back(static_cast<std::uint8_t>(i % 2 == 0 ? packed & 0x0F : packed >> 4));
    }

    const int shortStart = arrayStart + (columnCount + 1) / 2 + (columnCount - 1) / 30;
    int shortSize = 0;
    for (std::uint8_t code : r.descriptorCodes) shortSize += ShortDataSize(code);

    int pos = shortStart;
    if (shortSize >= 1 && shortSize <= 8059 && type != kIndexRecordType && shortSize <= limit &&
        shortStart + shortSize <= 8059 && shortStart + shortSize <= limit) {
        r.fixedData = CopyRange(b, static_cast<std::size_t>(shortStart), static_cast<std::size_t>(shortStart + shortSize));
        r.fixedLength = shortSize;
        pos += shortSize;
    }
    if (type == kIndexRecordType) return;

    if (r.hasNullBitmap) {
        const int bitmapBytes = (columnCount + 7) / 8;
        if (pos + bitmapBytes > limit) {
            r.isInvalid = true;
            return;
        }
        r.nullBitmap = CopyRange(b, static_cast<std::size_t>(pos), static_cast<std::size_t>(pos + bitmapBytes));
        pos += bitmapBytes;
    }

    if (r.hasVarColumns) {
        int a = pos;
        int entries = 0;
        if (a < limit && (b.U8(static_cast<std::size_t>(a)) & 1) != 0 && a + 1 < limit - 2) {
            const int n = b.U16(static_cast<std::size_t>(a + 1));
            if (n != 0 && n <= columnCount) {
                for (int k = 0; k < n; ++k) {
                    const int at = a + 3 + 2 * k;
                    r.longOffsets.push_back(at + 2 <= limit ? b.U16(static_cast<std::size_t>(at)) : std::uint16_t{0});
                }
                a += 3 + 2 * n;
                entries = n;
            }
        }
        a += (columnCount - 1) / 30;
        if (entries >= 1 && entries <= 1023) {
            int previousEnd = 0;
            for (int k = 0; k < entries && !state.StopRequested(); ++k) {
                const std::uint16_t raw = r.longOffsets[static_cast<std::size_t>(k)];
                const int end = raw & 0x7FFF;
                const int length = end - previousEnd;
                const int start = previousEnd;
                previousEnd = end;
                if (length <= 0) continue;
                VarValue item;
                item.isComplex = (raw & kComplexColumnFlag) != 0;
                if (length < limit && length <= 8191 && start <= 8191 && a + length < 8192 && a + length <= limit) {
                    item.data = CopyRange(b, static_cast<std::size_t>(a), static_cast<std::size_t>(a + length));
                    item.length = length;
                    a += length;
                }
                r.varValues.push_back(std::move(item));
            }
            r.varColumnCount = static_cast<int>(r.varValues.size());
        }
        pos = a;
    }

    if (pos >= 1 && pos <= limit) r.recordImage = CopyRange(b, 0, static_cast<std::size_t>(pos));
    r.recordLength = pos;
}

}  // namespace pw::record_format
