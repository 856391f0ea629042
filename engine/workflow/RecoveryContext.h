#pragma once
// CRecoveryContext: the engine objects of the last scan, from the scan until
// the next Open command, a fatal error or the end: the data file set and the
// catalog read from it.

#include <memory>
#include <string>

#include "catalog/Catalog.h"
#include "pages/DatabaseFileSet.h"
#include "support/EventSink.h"

namespace pw {

struct AppState;

class CRecoveryContext {
public:
    CRecoveryContext() = default;
    CRecoveryContext(const CRecoveryContext&) = delete;
    CRecoveryContext& operator=(const CRecoveryContext&) = delete;

    // Empties the catalog's lists, closes the files and drops both objects.
    void Release();

    std::unique_ptr<CDatabaseFileSet> fileSet;
    std::unique_ptr<CCatalog> catalog;
    // Receives the progress and status reports of the file set (which keeps
    // it for its life); null: they are dropped.
    EventSink* progressWindow = nullptr;
    EventSink& Reports() { return progressWindow != nullptr ? *progressWindow : noReports_; }

private:
    NullEventSink noReports_;
};

// Opens the file set of `path` (checking the data start and mapping every
// page) and keeps it in `context`, opened or not; when it opened, reads the
// catalog (boot page, secondary files, system tables) and keeps it too. True
// when the file set opened; a catalog without objects is still an open.
bool OpenDatabase(const std::string& path, CRecoveryContext& context, AppState& state);

}  // namespace pw
