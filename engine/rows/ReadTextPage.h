#pragma once
// Reads a text page by (file id, page number), correcting the position by the
// page number the page stores about itself.
//
// When the page found at position P says it is page H (and the header looks
// like a real page of that file: H above 0, the same file id), the file's
// pages are taken to be shifted by H - P, and the page wanted is read from
// position P - (H - P) = 2P - H. A blank page (H = 0) or a header of another
// file says nothing about a shift, and the page is used as found.

#include <cstdint>
#include <memory>

#include "pages/PageSource.h"
#include "rows/TextMixPage.h"

namespace pw {

struct AppState;

// The position the page numbered `pageNumber` is read from, given the header
// of the page found there; the number itself when the header says nothing.
std::int64_t CorrectedTextPagePosition(std::uint16_t fileId, std::int64_t pageNumber, const CPage_Header& found);

// The text page, or null when no page can be read.
std::unique_ptr<TextMixPage> ReadTextPage(PageSource& pages, CDatabaseFileSet* fileSet, const AppState& state,
                                          std::uint16_t fileId, std::int64_t pageNumber);

}  // namespace pw
