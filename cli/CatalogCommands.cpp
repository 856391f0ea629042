// pagewright-cli tables FILE / columns FILE TABLE: the catalog of a primary data file.

#include <cstdio>
#include <memory>
#include <string>

#include "Commands.h"
#include "OpenDatabase.h"
#include "catalog/Catalog.h"
#include "catalog/ColumnLabel.h"
#include "pages/DatabaseFileSet.h"
#include "support/AppState.h"
#include "support/CollationTable.h"

namespace cli {

namespace {

bool IsTable(const pw::ObjectRow& row) { return row.typeCode == "U " || row.typeCode == "S "; }

}  // namespace

int Tables(const Options& options) {
    const std::string& path = options.positional.at(0);
    OpenDatabase db;
    if (const int code = db.Open(path, options)) return code;
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

int Columns(const Options& options) {
    const std::string& path = options.positional.at(0);
    const std::string& table = options.positional.at(1);
    OpenDatabase db;
    if (const int code = db.Open(path, options)) return code;
    pw::CCatalog& catalog = *db.catalog;
    // A user table first, then a system table of that name.
    const std::string typeCode = TableTypeCode(catalog, table);
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
