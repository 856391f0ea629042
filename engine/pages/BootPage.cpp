#include "pages/BootPage.h"

#include "pages/SqlVersion.h"
#include "support/Utf.h"

namespace pw {

namespace {

// The one-slot build with no slot: the page part without any record.
constexpr OneSlot kNoRecord{-1};
constexpr std::uint16_t kNamePadding = 0x2020;  // two 0x20 bytes as one UTF-16 unit

}  // namespace

std::string DecodeDatabaseName(ByteView nameField) {
    std::size_t units = nameField.size() / 2;
    while (units > 0) {
        const std::uint16_t last = nameField.U16(2 * (units - 1));
        if (last != kNamePadding && last != 0) break;
        --units;
    }
    return Utf16LeToUtf8(nameField.Sub(0, 2 * units));
}

bool ResolveCollation(AppState& state, std::int32_t bootCollationId) {
    const CollationMap& table = state.m_mapCollations;
    auto found = table.end();
    std::int64_t key = 0;
    if (state.m_bAutoCollation) {
        key = bootCollationId;  // sign-extended
        found = table.find(key);
        if (found == table.end()) {
            key = static_cast<std::int64_t>(static_cast<std::uint32_t>(bootCollationId) & 0xFFFFu);
            found = table.find(key);
        }
    } else {
        key = state.m_nManualCollationId;
        found = table.find(key);
    }
    if (found == table.end()) return false;
    state.m_nCollationId = key;
    state.m_bCollationResolved = true;
    state.m_nCodePage = found->second.nCodePage;
    state.m_strCollationName = found->second.strName;
    return true;
}

CBootPage::CBootPage(PageImage image, CDatabaseFileSet* fileSet, AppState& state)
    : PrimaryRecordPage(std::move(image), fileSet, nullptr, state, kNoRecord) {
    records.clear();
    const ByteView bytes = Bytes();
    versionNumber = bytes.U16(kBootVersionOffset);
    createVersion = bytes.U16(kBootCreateVersionOffset);
    databaseName = DecodeDatabaseName(bytes.Sub(kBootNameOffset, kBootNameBytes));
    collationId = bytes.I32(kBootCollationOffset);
    state.m_strSqlVersion = SqlVersionText(versionNumber);
    ResolveCollation(state, collationId);
}

}  // namespace pw
