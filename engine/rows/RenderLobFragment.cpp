#include "rows/RenderLobFragment.h"

#include "rows/LobStructure.h"
#include "rows/BinaryText.h"
#include "rows/CharacterValue.h"
#include "rows/ReadTextPage.h"
#include "rows/TextRecord.h"
#include "rows/Utf16Compaction.h"

namespace pw {

namespace {

constexpr int kMinTypeLength = 10;
// sql_variant values carry their base type in the first byte and the value from byte 8.
constexpr std::size_t kVariantValueOffset = 8;
constexpr std::uint8_t kVariantVarbinary = 165;
constexpr std::uint8_t kVariantBinary = 173;

// Text of a small root: compacted when exactly half of its bytes are zero.
std::string SmallRootText(RenderContext& context, ByteView data, bool unicodeValue) {
    const std::size_t half = data.size() / 2;
    if (half >= 1 && CountZeroBytes(data) == half) {
        if (auto compacted = CompactUtf16(data)) return *compacted;
    }
    if (unicodeValue) return Utf16Text(data);
    return EightBitText(context, context.app.m_nAnsiCodePage, data);
}

// Text of a data fragment: unicode data is compacted when more than L/2 - 20
// of its bytes after the first are zero.
std::string DataText(RenderContext& context, const LobSData& fragment, bool unicodeValue) {
    const ByteView data = fragment.data;
    if (!unicodeValue) return fragment.RenderAsText(context);
    const auto length = static_cast<std::int64_t>(data.size());
    const auto zeros = static_cast<std::int64_t>(CountZeroBytes(data.Sub(1, data.size())));
    if (zeros > length / 2 - 20) {
        if (auto compacted = CompactUtf16(data)) return *compacted;
    }
    return Utf16Text(data);
}

std::string VariantText(RenderContext& context, ByteView data) {
    if (data.size() <= kVariantValueOffset) return {};
    const std::uint8_t baseType = data.U8(0);
    const ByteView value = data.Sub(kVariantValueOffset, data.size());
    if (baseType == kVariantVarbinary || baseType == kVariantBinary) return HexText(value, "");
    return SmallRootText(context, value, false);
}

// Counts a leaf's text towards the value; drops it when the value is full.
std::string Admitted(LobWalk& walk, std::string text) {
    if (!walk.Admit(text.size())) return {};
    return text;
}

std::string RenderSmallRoot(LobWalk& walk, ByteView payload, bool variantValue, bool binaryValue) {
    const SmallRoot root(payload, walk.FileSet());
    if (root.data.empty()) return {};
    if (walk.Collecting()) {
        if (root.data.size() < static_cast<std::size_t>(kMaxLobFragmentBytes)) walk.Collect(root.data);
        return {};
    }
    RenderContext& context = walk.Context();
    if (variantValue) return Admitted(walk, VariantText(context, root.data));
    if (binaryValue) return Admitted(walk, HexText(root.data, ""));
    return Admitted(walk, SmallRootText(context, root.data, walk.UnicodeValue()));
}

std::string RenderData(LobWalk& walk, ByteView payload, int typeLength, bool variantValue, bool binaryValue) {
    const LobSData fragment(payload, typeLength, walk.FileSet());
    if (fragment.data.empty()) return {};
    if (walk.Collecting()) {
        if (fragment.data.size() < static_cast<std::size_t>(kMaxLobFragmentBytes)) walk.Collect(fragment.data);
        return {};
    }
    RenderContext& context = walk.Context();
    if (variantValue) return Admitted(walk, VariantText(context, fragment.data));
    if (binaryValue) return Admitted(walk, fragment.RenderAsHex());
    return Admitted(walk, DataText(context, fragment, walk.UnicodeValue()));
}

std::string RenderLinks(LobWalk& walk, const std::vector<LobLink>& links, bool binaryValue) {
    if (walk.depth >= kMaxLobDepth) return {};
    ++walk.depth;
    std::string text;
    for (const LobLink& link : links) {
        if (walk.Ended()) break;
        text += RenderLinkedFragment(walk, link.file, link.page, link.slot, false, binaryValue);
    }
    --walk.depth;
    return text;
}

}  // namespace

std::string RenderLobFragment(LobWalk& walk, ByteView payload, int typeLength, bool variantValue, bool binaryValue) {
    if (payload.empty() || typeLength < kMinTypeLength) return {};
    int type = payload.U16(kLobTypeOffset);
    if (type == 4 || type == 6) type = kLobLargeRoot;
    switch (type) {
        case kLobSmallRoot:
            return RenderSmallRoot(walk, payload, variantValue, binaryValue);
        case kLobData:
            return RenderData(walk, payload, typeLength, variantValue, binaryValue);
        case kLobLargeRoot:
            return RenderLinks(walk, LargeRootYukon(payload, typeLength, walk.FileSet()).links, binaryValue);
        case kLobInternal:
            return RenderLinks(walk, Internal(payload, walk.FileSet()).links, binaryValue);
        default:
            return {};
    }
}

std::string RenderLobFragment(ByteView payload, PageSource& pages, RenderContext& context, CDatabaseFileSet* fileSet,
                              bool variantValue, bool binaryValue, int typeLength, LobFragmentList* fragments,
                              bool collect, bool unicodeValue) {
    LobWalk walk(pages, context, fileSet, fragments, collect, unicodeValue);
    return RenderLobFragment(walk, payload, typeLength, variantValue, binaryValue);
}

std::string RenderLinkedFragment(LobWalk& walk, std::uint16_t fileId, std::int64_t pageNumber, std::size_t slot,
                                 bool variantValue, bool binaryValue) {
    if (walk.Ended()) return {};
    if (!walk.Visit(fileId, pageNumber, slot)) return {};
    std::unique_ptr<TextMixPage> page = ReadTextPage(walk.Pages(), walk.FileSet(), walk.State(), fileId, pageNumber);
    if (!page) return {};
    const TextRecord* record = page->Record(slot);
    if (!record) return {};
    std::string text;
    if (record->HasPayload())
        text = RenderLobFragment(walk, record->Payload(), record->typeLength, variantValue, binaryValue);
    page->ReleaseRecord(slot);
    return text;
}

}  // namespace pw
