#pragma once
// A page source over page images held in memory, keyed by (file id, page number).

#include <map>
#include <utility>

#include "pages/PageSource.h"

namespace forge {

class MemoryPageSource final : public pw::PageSource {
public:
    void Add(std::uint16_t fileId, std::int64_t pageNumber, pw::PageImage image) {
        pages_[{fileId, pageNumber}] = std::move(image);
    }
    std::optional<pw::PageImage> FetchPage(std::uint16_t fileId, std::int64_t pageNumber) override {
        ++fetches;
        const auto found = pages_.find({fileId, pageNumber});
        if (found == pages_.end()) return std::nullopt;
        return found->second;
    }
    int fetches = 0;

private:
    std::map<std::pair<std::uint16_t, std::int64_t>, pw::PageImage> pages_;
};

}  // namespace forge
