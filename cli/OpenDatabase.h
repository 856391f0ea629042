#pragma once
// A primary data file opened and its catalog read, for the commands that
// work on the catalog (tables, columns, rows, definition).

#include <cstdio>
#include <memory>
#include <string>

#include "CliEventSink.h"
#include "Commands.h"
#include "Options.h"
#include "catalog/Catalog.h"
#include "pages/DatabaseFileSet.h"
#include "support/AppState.h"
#include "support/CollationTable.h"
#include "workflow/FailureExplanation.h"

namespace cli {

struct OpenDatabase {
    pw::AppState state;
    CliEventSink sink{/*quiet=*/true};
    std::unique_ptr<pw::CDatabaseFileSet> files;
    std::unique_ptr<pw::CCatalog> catalog;

    // 0 when the catalog was read, else the exit code. Options that change
    // how pages are read are set in `state` before the call.
    int Open(const std::string& path, const Options& options) {
        pw::LoadCollationTable(pw::ExecutablePath(), state.m_mapCollations);
        std::string error;
        if (!ApplyReadingOptions(options, state, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return kExitUsage;
        }
        files = pw::CDatabaseFileSet::OpenFileSet(path, state, sink);
        if (!files->IsOpened()) {
            std::fprintf(stderr, "%s\n", pw::ExplainUnreadableFile(path).c_str());
            return kExitUnreadable;
        }
        if (files->HeaderFileId() > 1) {
            std::fprintf(stderr, "%s is a secondary data file (file id %u); open its primary data file (.mdf).\n",
                         path.c_str(), static_cast<unsigned>(files->HeaderFileId()));
            return kExitUnreadable;
        }
        catalog = std::make_unique<pw::CCatalog>(state);
        catalog->LoadCatalog(*files);
        // A catalog without a single object is a failure, not an empty database:
        // every database has system objects.
        if (const std::string why = pw::ExplainEmptyCatalog(*files, *catalog); !why.empty()) {
            std::fprintf(stderr, "%s\n", why.c_str());
            return kExitUnreadable;
        }
        std::fputs(pw::ExplainMissingSecondaryFiles(*files, *catalog).c_str(), stderr);
        return kExitDone;
    }
};

// The type code of the table named `name`: a user table first, then a
// system table; empty when there is none.
inline std::string TableTypeCode(const pw::CCatalog& catalog, const std::string& name) {
    for (const char* code : {"U ", "S "}) {
        const pw::ObjectRow* row = catalog.FindObject(name, code);
        if (row && row->typeCode == code) return code;
    }
    return {};
}

}  // namespace cli
