#pragma once
// Builds IAM page images (page type 10) as SQL Server lays them out:
//   offset 96   record 0, the IAM header: status bytes, fixed-part end 94,
//               90 bytes of fixed part with the eight single-page slots at
//               fixed-part offsets 42, 48, ..., 84, then a column count
//   offset 192  record 1, the extent bitmap: fixed-part end 7992, the 7988
//               bitmap bytes, then a column count
//   8188-8191   the slot array (slot 1, slot 0)

#include <array>
#include <cstdint>
#include <optional>

#include "forge/PageBuilder.h"

namespace forge {

class IamPageBuilder {
public:
    IamPageBuilder();

    // The page's own address (header thisPage).
    IamPageBuilder& At(std::uint16_t file, std::uint32_t page);
    IamPageBuilder& Next(std::uint16_t file, std::uint32_t page);
    IamPageBuilder& ObjectId(std::int32_t objectId);
    // Single-page slot `index` (0-7) holds (file, page).
    IamPageBuilder& Slot(std::size_t index, std::uint16_t file, std::uint32_t page);
    // Sets the bitmap bit of extent `extent` of the interval.
    IamPageBuilder& Extent(std::size_t extent);
    // Bitmap byte `index` takes `value`.
    IamPageBuilder& BitmapByte(std::size_t index, std::uint8_t value);
    // Stores this fixed-part length in the header record instead of 90.
    IamPageBuilder& HeaderFixedLength(std::uint16_t length);
    // Stores this fixed-part length in the bitmap record instead of 7988.
    IamPageBuilder& BitmapFixedLength(std::uint16_t length);
    // Leaves out a record: its slot entry holds offset 0 (no record).
    IamPageBuilder& WithoutHeaderRecord();
    IamPageBuilder& WithoutBitmapRecord();

    pw::PageImage Build() const;

private:
    PageBuilder page_;
    std::array<std::pair<std::uint16_t, std::uint32_t>, 8> slots_{};
    Bytes bitmap_;
    std::uint16_t headerFixed_ = 90;
    std::uint16_t bitmapFixed_ = 7988;
    bool header_ = true, bitmapRecord_ = true;
};

}  // namespace forge
