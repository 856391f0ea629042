#include "rows/ReadTextPage.h"

#include <span>

namespace pw {

std::int64_t CorrectedTextPagePosition(std::uint16_t fileId, std::int64_t pageNumber, const CPage_Header& found) {
    const std::int64_t stored = found.thisPage.page;
    if (stored <= 0 || found.thisPage.file != fileId) return pageNumber;
    return 2 * pageNumber - stored;
}

std::unique_ptr<TextMixPage> ReadTextPage(PageSource& pages, CDatabaseFileSet* fileSet, const AppState& state,
                                          std::uint16_t fileId, std::int64_t pageNumber) {
    std::optional<PageImage> image = pages.FetchPage(fileId, pageNumber);
    if (!image) return nullptr;
    // The header is read from a copy of its bytes: building it may restore torn bits in place.
    const std::size_t headerBytes = image->size() < kPageHeaderSize ? image->size() : kPageHeaderSize;
    PageImage headerCopy(image->begin(), image->begin() + static_cast<std::ptrdiff_t>(headerBytes));
    const CPage_Header header{std::span<std::uint8_t>(headerCopy)};
    const std::int64_t position = CorrectedTextPagePosition(fileId, pageNumber, header);
    if (position != pageNumber) {
        image = pages.FetchPage(fileId, position);
        if (!image) return nullptr;
    }
    return std::make_unique<TextMixPage>(std::move(*image), fileSet, &pages, state);
}

}  // namespace pw
