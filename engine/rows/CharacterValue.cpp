#include "rows/CharacterValue.h"

#include <cstring>

#include "support/Utf.h"

namespace pw {

std::int32_t CodePageOfCollation(const AppState& app, std::int64_t collationId) {
    if (app.m_bCollationResolved && collationId == app.m_nCollationId) return app.m_nCodePage;
    auto it = app.m_mapCollations.find(collationId);
    if (it != app.m_mapCollations.end()) return it->second.nCodePage;
    return app.m_nAnsiCodePage;
}

std::int32_t CodePageOfColumn(const AppState& app, const ColumnDescriptor& column) {
    if (!app.m_bListing.load(std::memory_order_relaxed)) return app.m_nAnsiCodePage;
    if (column.collationId == 0 || column.collationId == -1) return app.m_nAnsiCodePage;
    return CodePageOfCollation(app, column.collationId);
}

std::string EightBitText(RenderContext& context, std::int32_t codePage, ByteView bytes) {
    if (bytes.empty()) return {};
    const void* zero = std::memchr(bytes.data(), 0, bytes.size());
    std::size_t n = zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes.data())
                         : bytes.size();
    return context.codePages.ToUtf8(codePage, bytes.Sub(0, n));
}

std::string Utf16Text(ByteView bytes) {
    std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        if (bytes.U16(2 * i) == 0) {
            units = i;
            break;
        }
    }
    return Utf16LeToUtf8(bytes.Sub(0, units * 2));
}

std::string ConvertCharacterValue(RenderContext& context, ByteView bytes, const ColumnDescriptor& column) {
    return EightBitText(context, CodePageOfColumn(context.app, column), bytes);
}

std::string ZeroByteTestText(RenderContext& context, ByteView bytes) {
    std::size_t zeros = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) zeros += bytes.data()[i] == 0 ? 1u : 0u;
    if (zeros == bytes.size() / 2) return Utf16Text(bytes);
    return EightBitText(context, context.app.m_nAnsiCodePage, bytes);
}

}  // namespace pw
