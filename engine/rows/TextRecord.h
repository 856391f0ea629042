#pragma once
// TextRecord: one large-object fragment record of a text page.
//
// Record layout (offsets from the record start):
//
//   0   1     status byte A   bits 1-3 record type, bit 4 null bitmap,
//                             bit 5 variable columns, bit 6 versioning tag
//   1   1     status byte B
//   2   2     F               end of the fixed part, the 4 header bytes included
//   4   F-4   payload         large-object id (8), fragment type (2), type-specific part
//
// The payload is copied only when it lies wholly inside the bytes available
// to the record (the record start up to the page end).

#include <cstdint>
#include <optional>

#include "pages/Record.h"
#include "support/ByteView.h"

namespace pw {

// Payload offsets shared with the fragment readers.
constexpr std::size_t kLobIdOffset = 0;
constexpr std::size_t kLobTypeOffset = 8;
constexpr std::size_t kLobTypeSpecificOffset = 10;
// Fragment type kept for a payload too short to carry one.
constexpr int kNoFragmentType = 8;

class TextRecord : public CRecord {
public:
    TextRecord() = default;
    ~TextRecord() override = default;

    // Parses the record at the start of `bytes`, which ends where the page ends.
    static TextRecord Parse(ByteView bytes);

    std::uint8_t statusA = 0;
    std::uint8_t statusB = 0;
    bool statusBIsOne = false;
    bool hasVersionTag = false;
    // F as stored.
    std::uint16_t fixedEnd = 0;
    // The payload copy; none when the record carries no usable payload.
    std::optional<ByteBuffer> payload;
    std::uint64_t lobId = 0;
    int fragmentType = kNoFragmentType;
    // Length of the type-specific part: payload length - 10, or the payload
    // length itself when that is below 10 (too short to render either way).
    int typeLength = 0;

    bool HasPayload() const { return payload.has_value(); }
    ByteView Payload() const { return payload ? ByteView(*payload) : ByteView(); }
};

}  // namespace pw
