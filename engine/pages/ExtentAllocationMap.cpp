#include "pages/ExtentAllocationMap.h"

#include <algorithm>

#include "pages/DatabaseFileSet.h"

namespace pw {

std::array<PageId, kPagesPerExtent> ExtentPages(const Extent& extent) {
    std::array<PageId, kPagesPerExtent> pages{};
    for (std::size_t i = 0; i < pages.size(); ++i)
        pages[i] = PageId{extent.fileId, static_cast<std::uint32_t>(extent.firstPage + i)};
    return pages;
}

ExtentAllocationMap::ExtentAllocationMap(PageImage image, CDatabaseFileSet* fileSet, PageSource* pages,
                                         const AppState& state)
    : PrimaryRecordPage(std::move(image), fileSet, pages, state) {
    ReadBitmap();
}

void ExtentAllocationMap::ReadBitmap() {
    extentFlags.fill(0);
    flagCount = 0;
    const CPrimaryRecord* bitmap = Record(kAllocationBitmapSlot);
    if (bitmap == nullptr || bitmap->fixedData.empty()) return;
    const std::size_t bytes = std::min(bitmap->fixedData.size(), kAllocationBitmapBytes);
    for (std::size_t k = 0; k < bytes; ++k) {
        const std::uint8_t byte = bitmap->fixedData[k];
        for (unsigned bit = 0; bit < 8; ++bit) extentFlags[flagCount++] = static_cast<std::uint8_t>((byte >> bit) & 1u);
    }
}

std::vector<Extent> ExtentAllocationMap::AllocatedExtents() const {
    std::vector<Extent> extents;
    const SignedPagePointer self = Header().thisPage;
    if (self.page < 0) return extents;
    const std::int64_t intervalStart = GamIntervalStart(self.page);

    // Flags past the file's last whole extent name pages the file does not hold.
    auto limit = static_cast<std::int64_t>(flagCount);
    if (const CDatabaseFileSet* files = FileSet()) {
        const auto fileExtents = static_cast<std::int64_t>(files->FilePageCount(self.file) / kPagesPerExtent);
        limit = std::clamp<std::int64_t>(fileExtents - intervalStart / kPagesPerExtent, 0, limit);
    }
    for (std::int64_t i = 0; i < limit; ++i) {
        if (extentFlags[static_cast<std::size_t>(i)] == 0) continue;
        const std::int64_t first = intervalStart + i * kPagesPerExtent;
        extents.push_back(Extent{self.file, static_cast<std::uint32_t>(first),
                                 static_cast<std::uint32_t>(first + kPagesPerExtent - 1)});
    }
    return extents;
}

}  // namespace pw
