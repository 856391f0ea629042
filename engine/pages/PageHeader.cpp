#include "pages/PageHeader.h"

#include <cstdio>

#include "support/ByteView.h"

namespace pw {

CPage_Header::CPage_Header(std::span<std::uint8_t> image) {
    const ByteView bytes(image.data(), image.size());
    headerVersion = bytes.U8(0);
    pageType = bytes.U8(1);
    typeFlagBits = bytes.U8(2);
    level = bytes.U8(3);
    flagBits = bytes.U16(4);
    indexId = bytes.U16(6);
    prevPage = {bytes.U32(8), bytes.U16(12)};
    minRecordLength = bytes.U16(14);
    nextPage = {bytes.U32(16), bytes.U16(20)};
    slotCount = bytes.I16(22);
    objectId = bytes.I32(24);
    freeCount = bytes.I16(28);
    freeData = bytes.U16(30);
    thisPage = {bytes.I32(32), bytes.U16(36)};
    reservedCount = bytes.U16(38);
    xactReserved = bytes.U16(50);
    ghostRecordCount = bytes.I16(58);
    tornBits = bytes.U32(60);

    char text[64];
    std::snprintf(text, sizeof text, "( %d : %d : %d )", bytes.I32(40), bytes.I32(44),
                  static_cast<int>(bytes.I16(48)));
    lsnText = text;
    std::snprintf(text, sizeof text, "( %d : %d )", static_cast<int>(bytes.I16(56)), bytes.I32(52));
    xdesText = text;

    if (flagBits & kTornBitsPresent) RestoreTornBits(image, tornBits);
}

void RestoreTornBits(std::span<std::uint8_t> image, std::uint32_t tornBits) {
    for (unsigned sector = 1; sector < kPageSize / kSectorSize; ++sector) {
        const std::size_t last = kSectorSize * (sector + 1) - 1;
        if (last >= image.size()) break;
        const auto saved = static_cast<std::uint8_t>((tornBits >> (2 * sector)) & 3u);
        image[last] = static_cast<std::uint8_t>((image[last] & ~3u) | saved);
    }
}

}  // namespace pw
