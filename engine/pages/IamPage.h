#pragma once
// IamPage: an index allocation map page (page type 10) of one allocation unit.
//
// Record 0 is the IAM header. Its fixed part holds, besides sequence and
// status fields, eight single-page slots: pages of the unit that lie in mixed
// extents (extents shared with other units). Each slot is a 6-byte page
// pointer (4-byte page number, 2-byte file id) at fixed-part offsets 42, 48,
// ..., 84 (record offsets 46 to 93); an empty slot holds zeros. Record 1 is
// the extent bitmap of the GAM interval the IAM page lies in (see
// ExtentAllocationMap). The header's next-page pointer leads to the unit's
// next IAM page.

#include <array>
#include <cstddef>
#include <cstdint>

#include "pages/ExtentAllocationMap.h"

namespace pw {

constexpr std::size_t kIamSinglePageSlots = 8;
// Fixed-part offset of the first single-page slot and the size of each.
constexpr std::size_t kIamFirstSlotOffset = 42;
constexpr std::size_t kIamSlotSize = 6;
constexpr std::size_t kIamHeaderSlot = 0;

class IamPage : public ExtentAllocationMap {
public:
    // The page walk and bitmap, then the single-page slots of the header record.
    IamPage(PageImage image, CDatabaseFileSet* fileSet, PageSource* pages, const AppState& state);
    ~IamPage() override = default;

    // The header's single-page slots. Every slot starts as page 0 of file 1
    // and keeps that when the header record is missing or too short to hold
    // it; a slot read from the page may be all zeros (unused: consumers skip
    // slots whose file id is 0).
    std::array<PagePointer, kIamSinglePageSlots> singlePages{};

    // The next IAM page of the unit, as the page header gives it.
    PagePointer NextIamPage() const { return Header().nextPage; }

private:
    void ReadSinglePageSlots();
};

}  // namespace pw
