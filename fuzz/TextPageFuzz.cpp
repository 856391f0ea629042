// Text pages: the fragment records of a fuzzed text page, and the page read
// by (file id, page number) with the shifted-position correction.
//
// Input: option byte, file id (16 bits), page number (32 bits), position the
// image is filed under (32 bits), then the page image (the rest).

#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "FuzzOptions.h"
#include "forge/MemoryPageSource.h"
#include "rows/ReadTextPage.h"
#include "rows/TextMixPage.h"

namespace {

std::size_t Walk(pw::TextMixPage& page) {
    std::size_t seen = 0;
    for (std::size_t slot = 0; slot < page.records.size() + 1; ++slot) {
        const pw::TextRecord* record = page.Record(slot);
        if (!record) continue;
        seen += record->Payload().size() + static_cast<std::size_t>(record->typeLength & 0xFF) + record->lobId;
        page.ReleaseRecord(slot);
    }
    return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader in(data, size);
    pw::AppState state;
    fuzz::ApplyOptions(state, in.U8());
    const std::uint16_t fileId = in.U16();
    const std::int64_t pageNumber = static_cast<std::int32_t>(in.U32());
    const std::int64_t filedAt = static_cast<std::int32_t>(in.U32());
    const pw::PageImage image = in.Rest();

    std::size_t seen = 0;
    {
        pw::TextMixPage page(image, nullptr, nullptr, state);
        seen += Walk(page);
    }
    forge::MemoryPageSource pages;
    pw::PageImage whole = image;
    whole.resize(pw::kPageSize, 0);
    pages.Add(fileId, filedAt, whole);
    pages.Add(fileId, pageNumber, whole);
    if (auto page = pw::ReadTextPage(pages, nullptr, state, fileId, pageNumber)) seen += Walk(*page);
    const pw::CPage_Header header{std::span<std::uint8_t>(whole)};
    seen += static_cast<std::size_t>(pw::CorrectedTextPagePosition(fileId, pageNumber, header));
    fuzz::Keep(seen);
    return 0;
}
