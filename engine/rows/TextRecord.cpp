#include "rows/TextRecord.h"

namespace pw {

TextRecord TextRecord::Parse(ByteView bytes) {
    TextRecord record;
    record.maxLength = static_cast<int>(bytes.size());
    if (!bytes.Has(0, 4)) {
        record.isInvalid = true;
        return record;
    }
    record.statusA = bytes.U8(0);
    record.statusB = bytes.U8(1);
    record.recordType = (record.statusA >> 1) & 0x07;
    record.hasNullBitmap = (record.statusA & kStatusNullBitmap) != 0;
    record.hasVarColumns = (record.statusA & kStatusVarColumns) != 0;
    record.hasVersionTag = (record.statusA & kStatusBit6) != 0;
    record.statusBIsOne = record.statusB == 1;
    record.fixedEnd = bytes.U16(2);

    const int payloadLength = static_cast<int>(record.fixedEnd) - 4;
    // No payload when the fixed part is empty or does not fit before the page end.
    if (payloadLength <= 0 || !bytes.Has(4, static_cast<std::size_t>(payloadLength))) return record;

    const ByteView payload = bytes.Sub(4, static_cast<std::size_t>(payloadLength));
    record.payload = ByteBuffer(payload.data(), payload.data() + payload.size());
    record.recordLength = record.fixedEnd;
    if (payloadLength >= static_cast<int>(kLobTypeSpecificOffset)) {
        record.lobId = payload.U64(kLobIdOffset);
        record.fragmentType = payload.U16(kLobTypeOffset);
        record.typeLength = payloadLength - static_cast<int>(kLobTypeSpecificOffset);
    } else {
        record.typeLength = payloadLength;
    }
    return record;
}

}  // namespace pw
