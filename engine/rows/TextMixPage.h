#pragma once
// TextMixPage: a text page (SQL Server's text/image mixed page) whose slots
// hold large-object fragment records.
//
// The page lives for one lookup: it is built, one slot is used, and it is
// released with whatever records remain.

#include <cstddef>

#include "pages/RecordPage.h"
#include "rows/TextRecord.h"

namespace pw {

class TextMixPage : public RecordPage {
public:
    // Copies the slot array and parses one TextRecord per slot below the
    // header's slot count (none once a stop was requested). A slot offset
    // past the page end gives an empty entry.
    TextMixPage(PageImage image, CDatabaseFileSet* fileSet, PageSource* pages, const AppState& state);
    ~TextMixPage() override = default;

    // The record of `slot`, or null for an empty entry or a slot out of range.
    TextRecord* Record(std::size_t slot) const;
    // Releases the record of `slot` and leaves its entry empty.
    void ReleaseRecord(std::size_t slot);
};

}  // namespace pw
