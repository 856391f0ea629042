#pragma once
// RecordPage: a page whose body holds records found through the slot array.
//
// The slot array sits at the end of the page and grows backwards: slot j is
// the 16-bit record offset at page offset 8190 - 2j, slot 0 in the last two
// bytes. The header's slot count says how many entries are in use.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "pages/Page.h"
#include "pages/Record.h"

namespace pw {

struct AppState;
class PageSource;

// Slot counts at or above this mean a damaged header: the slot array is not read.
constexpr int kMaxSlotArrayCount = 4000;

class RecordPage : public CPage {
public:
    // Builds the page part and keeps the options and the page source for the
    // walk; copies nothing yet (see CopySlotArray).
    RecordPage(PageImage image, CDatabaseFileSet* fileSet, PageSource* pages, const AppState& state);
    virtual ~RecordPage() = default;

    // Records point back at their page: a page object stays where it was built.
    RecordPage(const RecordPage&) = delete;
    RecordPage& operator=(const RecordPage&) = delete;

    // The slot array copy while the page is built; dropped afterwards. Empty
    // optional: the page has no usable slot array.
    std::optional<std::vector<std::uint16_t>> slotArray;
    // One entry per slot: the record, or null for a slot that holds none.
    std::vector<std::unique_ptr<CRecord>> records;

    PageSource* Pages() const { return pages_; }
    const AppState& State() const { return state_; }

    // The header checks a page must pass before its records are read: slot
    // count at most 8192, and no negative ghost count, free count, page number
    // or file id in the page's own, previous and next page addresses.
    bool HeaderIsSane() const;

protected:
    // Copies the slot array unless a stop was requested or the slot count is
    // 0 or less, or kMaxSlotArrayCount or more.
    void CopySlotArray();

private:
    PageSource* pages_ = nullptr;
    const AppState& state_;
};

}  // namespace pw
