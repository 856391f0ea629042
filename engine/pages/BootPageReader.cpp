// Reading the boot page of the primary file through the page maps.

#include "pages/BootPage.h"
#include "pages/DatabaseFileSet.h"

namespace pw {

namespace {

// The first pages of these system objects are at fixed places in every
// database; where they were found tells how far the file's pages are shifted.
constexpr std::int32_t kReferenceObjects[] = {7, 41};

}  // namespace

void CDatabaseFileSet::ReadBootPage() {
    databaseName.clear();
    bootFacts_ = BootPageFacts{};

    std::int64_t shift = 0;
    for (const std::int32_t objectId : kReferenceObjects) {
        const auto found = maps_.SystemPageMap.find(objectId);
        if (found == maps_.SystemPageMap.end() || found->second.empty()) continue;
        const PageRef reference = found->second.front();
        if (const auto header = ReadPageHeaderOnly(reference.fileId, reference.position)) {
            shift = static_cast<std::int64_t>(header->thisPage.page) - static_cast<std::int64_t>(reference.position);
        }
        break;
    }

    const std::int64_t bootPosition = kBootPageNumber - shift;
    if (bootPosition <= 0 || static_cast<std::uint64_t>(bootPosition) >= wholePageCount) return;
    auto image = ReadPage(1, bootPosition);
    if (!image) return;

    const CBootPage boot(std::move(*image), this, state_);
    databaseName = boot.databaseName;
    bootFacts_.found = true;
    bootFacts_.pageType = boot.Header().pageType;
    bootFacts_.version = boot.versionNumber;
    bootFacts_.createVersion = boot.createVersion;
    bootFacts_.collationId = boot.collationId;
}

}  // namespace pw
