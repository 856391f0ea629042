#include "workflow/RecoveryContext.h"

#include "support/AppState.h"
#include "support/EventSink.h"

namespace pw {

void CRecoveryContext::Release() {
    if (catalog) catalog->ClearCatalog();
    fileSet.reset();
    catalog.reset();
}

bool OpenDatabase(const std::string& path, CRecoveryContext& context, AppState& state) {
    context.catalog.reset();
    context.fileSet = CDatabaseFileSet::OpenFileSet(path, state, context.Reports());
    if (!context.fileSet->IsOpened()) return false;
    context.catalog = std::make_unique<CCatalog>(state);
    context.catalog->LoadCatalog(*context.fileSet);
    return true;
}

}  // namespace pw
