#include "rows/ReadTextPointerValue.h"

#include "rows/ReadTextPage.h"
#include "rows/RenderLobFragment.h"

namespace pw {

std::optional<TextPointer> ParseTextPointer(ByteView bytes) {
    if (!bytes.Has(0, kTextPointerSize)) return std::nullopt;
    return TextPointer{bytes.U64(0), bytes.U32(8), bytes.U16(12), bytes.U16(14)};
}

std::string ReadTextPointerValue(LobWalk& walk, const TextPointer& pointer, LobValueFlags flags) {
    if (walk.Ended()) return {};
    std::unique_ptr<TextMixPage> page =
        ReadTextPage(walk.Pages(), walk.FileSet(), walk.State(), pointer.file, pointer.page);
    if (!page) return {};
    const TextRecord* record = page->Record(pointer.slot);
    if (!record) return {};
    if (!record->HasPayload()) {
        page->ReleaseRecord(pointer.slot);
        return {};
    }
    walk.Visit(pointer.file, pointer.page, pointer.slot);
    std::string text =
        RenderLobFragment(walk, record->Payload(), record->typeLength, flags.variantValue, flags.binaryValue);
    page->ReleaseRecord(pointer.slot);
    if (text.empty()) return " ";
    return text;
}

std::string ReadTextPointerValue(const TextPointer& pointer, PageSource& pages, RenderContext& context,
                                 CDatabaseFileSet* fileSet, LobValueFlags flags, LobFragmentList* fragments,
                                 bool collect) {
    LobWalk walk(pages, context, fileSet, fragments, collect, flags.unicodeValue);
    return ReadTextPointerValue(walk, pointer, flags);
}

}  // namespace pw
