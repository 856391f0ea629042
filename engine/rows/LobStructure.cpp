#include "rows/LobStructure.h"

#include "rows/BinaryText.h"
#include "rows/CharacterValue.h"
#include "rows/TextRecord.h"

namespace pw {

namespace {

constexpr std::size_t kSmallRootLengthOffset = 10;
constexpr std::size_t kSmallRootDataOffset = 16;
constexpr std::size_t kNodeMaxLinksOffset = 10;
constexpr std::size_t kNodeLinkCountOffset = 12;
constexpr std::size_t kNodeLevelOffset = 14;
constexpr std::size_t kInternalLinksOffset = 16;
constexpr std::size_t kInternalLinkSize = 16;
constexpr std::size_t kRootLinksOffset = 20;
constexpr std::size_t kRootLinkSize = 12;

// Links may not reach past the payload nor past the page.
ByteView LinkArea(ByteView payload) { return payload.Sub(0, static_cast<std::size_t>(kMaxLobFragmentBytes)); }

}  // namespace

std::string LobStructureBase::RenderAsText(RenderContext&) const { return {}; }
std::string LobStructureBase::RenderAsHex() const { return {}; }

SmallRoot::SmallRoot(ByteView payload, CDatabaseFileSet* fileSet)
    : LobStructureBase(fileSet, payload.U64(kLobIdOffset)) {
    dataLength = payload.U16(kSmallRootLengthOffset);
    if (dataLength > 0 && dataLength <= kMaxLobFragmentBytes && payload.Has(kSmallRootDataOffset, dataLength))
        data = payload.Sub(kSmallRootDataOffset, dataLength);
}

Internal::Internal(ByteView payload, CDatabaseFileSet* fileSet) : LobStructureBase(fileSet, payload.U64(kLobIdOffset)) {
    maxLinks = payload.U16(kNodeMaxLinksOffset);
    linkCount = payload.U16(kNodeLinkCountOffset);
    level = payload.U16(kNodeLevelOffset);
    const ByteView area = LinkArea(payload);
    for (std::size_t i = 0; i < linkCount; ++i) {
        const std::size_t at = kInternalLinksOffset + i * kInternalLinkSize;
        if (!area.Has(at, kInternalLinkSize)) break;
        links.push_back(LobLink{area.I64(at), area.U32(at + 8), area.U16(at + 12), area.U16(at + 14)});
    }
}

LobSData::LobSData(ByteView payload, int typeLength, CDatabaseFileSet* fileSet)
    : LobStructureBase(fileSet, payload.U64(kLobIdOffset)) {
    if (typeLength >= 1 && typeLength <= kMaxLobFragmentBytes &&
        payload.Has(kLobTypeSpecificOffset, static_cast<std::size_t>(typeLength)))
        data = payload.Sub(kLobTypeSpecificOffset, static_cast<std::size_t>(typeLength));
}

std::string LobSData::RenderAsText(RenderContext& context) const {
    return EightBitText(context, context.app.m_nAnsiCodePage, data);
}
std::string LobSData::RenderAsHex() const { return HexText(data, ""); }

LargeRootYukon::LargeRootYukon(ByteView payload, int typeLength, CDatabaseFileSet* fileSet)
    : LobStructureBase(fileSet, payload.U64(kLobIdOffset)) {
    if (typeLength <= 16) return;
    maxLinks = payload.U16(kNodeMaxLinksOffset);
    linkCount = payload.U16(kNodeLinkCountOffset);
    level = payload.U16(kNodeLevelOffset);
    // The type-specific part ends L bytes after it starts; the page ends the payload at the latest.
    const ByteView area = LinkArea(payload.Sub(0, kLobTypeSpecificOffset + static_cast<std::size_t>(typeLength)));
    for (std::size_t i = 0; i < linkCount; ++i) {
        const std::size_t at = kRootLinksOffset + i * kRootLinkSize;
        if (!area.Has(at, kRootLinkSize)) break;
        links.push_back(LobLink{area.I32(at), area.U32(at + 4), area.U16(at + 8), area.U16(at + 10)});
    }
}

}  // namespace pw
