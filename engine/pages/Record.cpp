#include "pages/Record.h"

#include "support/AppState.h"

namespace pw {

bool IsListableRecord(const CRecord* record, const AppState& state) {
    if (record == nullptr || record->isInvalid || record->recordType == kIndexRecordType) return false;
    return state.m_bShowDeleted || !record->isDeleted;
}

}  // namespace pw
