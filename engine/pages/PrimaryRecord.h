#pragma once
// CPrimaryRecord: a record of a record page, parsed in full.

#include <cstdint>
#include <memory>
#include <vector>

#include "pages/Record.h"
#include "support/ByteView.h"

namespace pw {

class PageSource;

class CPrimaryRecord : public CRecord {
public:
    CPrimaryRecord() = default;

    // Parses the record at the start of `bytes`, which run from the record to
    // the end of the page image. `maxLength` is the room the page leaves for
    // the record (8192 minus its offset); nothing beyond min(maxLength,
    // bytes.size()) is ever read. A forwarding stub is followed through
    // `pages` when it is given and `followStubs` is set; forwarded records are
    // fetched with `followStubs` clear, so a chain or a loop of stubs stops
    // after one step.
    CPrimaryRecord(ByteView bytes, const CPage* ownerPage, int maxLength, const AppState& state,
                   PageSource* pages = nullptr, bool followStubs = true);

    // The anchor record of a compressed page: always read with the compressed rules.
    static std::unique_ptr<CPrimaryRecord> ParseAnchor(ByteView bytes, const CPage* ownerPage, int maxLength,
                                                       const AppState& state);

    // Lenient parse used by the deleted-record scan: the total length of a
    // plain record starting at `bytes`, or -1 when none starts there. Lengths
    // are computed against the largest row size, not the page end, so the
    // result may reach beyond `bytes`; nothing outside `bytes` is read.
    static int ProbeLength(ByteView bytes, const CPage* ownerPage, const AppState& state);

    // Length of `fixedData`; kForwardNotFollowed for a stub that was not followed.
    int fixedLength = 0;
    bool statusBit6 = false;
    bool statusByteBIsOne = false;
    // Compressed format: one 4-bit code per column.
    std::vector<std::uint8_t> descriptorCodes;
};

}  // namespace pw
