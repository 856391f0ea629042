// pagewright-cli tables FILE / columns FILE TABLE: the catalog of a primary data file.

#include <cstdio>
#include <memory>
#include <string>

#include "CliEventSink.h"
#include "Commands.h"
#include "catalog/Catalog.h"
#include "catalog/ColumnLabel.h"
#include "pages/DatabaseFileSet.h"
#include "support/AppState.h"
#include "support/CollationTable.h"

namespace cli {

namespace {

// A primary file opened and its catalog read.
struct OpenDatabase {
    pw::AppState state;
    CliEventSink sink{/*quiet=*/true};
    std::unique_ptr<pw::CDatabaseFileSet> files;
    std::unique_ptr<pw::CCatalog> catalog;

    // 0 when the catalog was read, else the exit code.
    int Open(const std::string& path) {
        pw::LoadCollationTable(pw::ExecutablePath(), state.m_mapCollations);
        files = pw::CDatabaseFileSet::OpenFileSet(path, state, sink);
        if (!files->IsOpened()) return kExitUnreadable;
        if (files->HeaderFileId() > 1) {
            std::fprintf(stderr, "%s is a secondary data file (file id %u); open its primary data file (.mdf).\n",
                         path.c_str(), static_cast<unsigned>(files->HeaderFileId()));
            return kExitUnreadable;
        }
        catalog = std::make_unique<pw::CCatalog>(state);
        catalog->LoadCatalog(*files);
        return kExitDone;
    }
};

bool IsTable(const pw::ObjectRow& row) { return row.typeCode == "U " || row.typeCode == "S "; }

}  // namespace

int Tables(const std::string& path) {
    OpenDatabase db;
    if (const int code = db.Open(path)) return code;
    pw::CCatalog& catalog = *db.catalog;
    // OpenObject replaces the catalog's per-object state: copy the rows first.
    const std::vector<pw::ObjectRow> objects = catalog.objects;
    for (const pw::ObjectRow& row : objects) {
        if (!IsTable(row) || row.name.empty()) continue;
        const std::vector<pw::ColumnDescriptor> columns = catalog.OpenObject(row.name, row.typeCode);
        std::printf("%s\t%s\t%d\t%zu\t%zu\n", row.name.c_str(), row.typeCode.c_str(), row.id,
                    catalog.dataPages.size(), columns.size());
    }
    return kExitDone;
}

int Columns(const std::string& path, const std::string& table) {
    OpenDatabase db;
    if (const int code = db.Open(path)) return code;
    pw::CCatalog& catalog = *db.catalog;
    // A user table first, then a system table of that name.
    std::string typeCode;
    for (const char* code : {"U ", "S "}) {
        const pw::ObjectRow* row = catalog.FindObject(table, code);
        if (row && row->typeCode == code) {
            typeCode = code;
            break;
        }
    }
    if (typeCode.empty()) {
        std::fprintf(stderr, "No table named %s.\n", table.c_str());
        return kExitNoSuchObject;
    }
    for (const pw::ColumnDescriptor& d : catalog.OpenObject(table, typeCode)) {
        if (d.name.empty()) continue;
        std::printf("%s\n", pw::ColumnLabel(d).c_str());
    }
    return kExitDone;
}

}  // namespace cli
