#include "rows/ReadOutOfRowValue.h"

#include "pages/Page.h"
#include "rows/RenderLobFragment.h"

namespace pw {

namespace {

constexpr std::size_t kPointerHeaderSize = 12;
constexpr std::size_t kPointerLinkSize = 12;
// File ids above this are taken as damage and read from the primary file.
constexpr std::uint16_t kMaxPlausibleFileId = 1000;

}  // namespace

std::string ReadOutOfRowValue(LobWalk& walk, const CRecord& record, ByteView column) {
    std::string text;
    for (std::size_t at = kPointerHeaderSize; column.Has(at, kPointerLinkSize); at += kPointerLinkSize) {
        if (walk.Ended()) break;
        if (column.I32(at) <= 0) continue;
        const std::uint32_t page = column.U32(at + 4);
        std::uint16_t file = column.U16(at + 8);
        if (file > kMaxPlausibleFileId) file = 1;
        const std::uint16_t slot = column.U16(at + 10);
        text += RenderLinkedFragment(walk, file, page, slot, record.variantValue, record.binaryValue);
    }
    if (walk.Collecting()) return {};
    return text;
}

std::string ReadOutOfRowValue(const CRecord& record, ByteView column, PageSource& pages, RenderContext& context,
                              LobFragmentList* fragments, bool collect, bool unicodeValue) {
    CDatabaseFileSet* fileSet = record.ownerPage ? record.ownerPage->FileSet() : nullptr;
    LobWalk walk(pages, context, fileSet, fragments, collect, unicodeValue);
    return ReadOutOfRowValue(walk, record, column);
}

}  // namespace pw
