#pragma once
// The application options a fuzz input switches on, from one option byte.

#include <cstdint>

#include "support/AppState.h"

namespace fuzz {

// Bit 0 deleted records shown, bit 1 advanced deleted-record recovery,
// bit 2 SQL Server 2000 layout, bit 3 a listing runs; bits 4-5 pick the ANSI
// code page.
inline void ApplyOptions(pw::AppState& state, std::uint8_t options) {
    state.m_bShowDeleted = (options & 0x01) != 0;
    state.m_bShowAdvancedDeleted = (options & 0x02) != 0;
    state.m_bIsSql2000 = (options & 0x04) != 0;
    state.m_bListing.store((options & 0x08) != 0);
    static const std::int32_t codePages[4] = {1252, 932, 1251, 65001};
    state.m_nAnsiCodePage = codePages[(options >> 4) & 3];
    state.m_nCodePage = codePages[(options >> 5) & 3];
}

}  // namespace fuzz
