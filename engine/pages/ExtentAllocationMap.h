#pragma once
// ExtentAllocationMap: an allocation page whose bitmap marks extents of one
// GAM interval.
//
// Allocation pages hold two records. Record 1's fixed part is the bitmap:
// bit i of byte k (least significant bit first) stands for extent 8k + i of
// the GAM interval the page lies in. An extent is 8 consecutive pages; a GAM
// interval is 63904 extents (511232 pages), the span one bitmap of 7988 bytes
// covers. The interval of page n starts at page (n / 511232) * 511232.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pages/PageId.h"
#include "pages/PrimaryRecordPage.h"

namespace pw {

constexpr std::int64_t kPagesPerExtent = 8;
constexpr std::size_t kExtentsPerGamInterval = 63904;
constexpr std::int64_t kGamIntervalPages = static_cast<std::int64_t>(kExtentsPerGamInterval) * kPagesPerExtent;
// Bytes of the bitmap that are read: one bit per extent of the interval.
constexpr std::size_t kAllocationBitmapBytes = kExtentsPerGamInterval / 8;
// The slot of the bitmap record.
constexpr std::size_t kAllocationBitmapSlot = 1;

// First page of the GAM interval holding page `pageNumber` (not negative).
constexpr std::int64_t GamIntervalStart(std::int64_t pageNumber) {
    return pageNumber / kGamIntervalPages * kGamIntervalPages;
}

// One allocated extent: 8 pages of one file, firstPage to lastPage inclusive.
struct Extent {
    std::uint16_t fileId = 0;
    std::uint32_t firstPage = 0;
    std::uint32_t lastPage = 0;

    friend bool operator==(const Extent&, const Extent&) = default;
};

// The 8 page addresses of an extent, from its first page to its last.
std::array<PageId, kPagesPerExtent> ExtentPages(const Extent& extent);

class ExtentAllocationMap : public PrimaryRecordPage {
public:
    // Walks the page's records, then fills the extent flags from the bitmap
    // record. The page may be read from `fileSet` (null in tests); the file
    // set also bounds the extents listed (see AllocatedExtents).
    ExtentAllocationMap(PageImage image, CDatabaseFileSet* fileSet, PageSource* pages, const AppState& state);
    ~ExtentAllocationMap() override = default;

    // One flag (0 or 1) per extent of the interval; the first `flagCount` are
    // filled from the bitmap, the rest are 0.
    std::array<std::uint8_t, kExtentsPerGamInterval> extentFlags{};
    std::size_t flagCount = 0;

    // The extents whose flag is set, in bitmap order, in the file and GAM
    // interval of the page's own address (header thisPage). With a file set,
    // extents that reach past the end of that file are left out: a bitmap
    // from a damaged page may mark extents the file does not have. Empty when
    // no flag is set.
    std::vector<Extent> AllocatedExtents() const;

private:
    void ReadBitmap();
};

}  // namespace pw
