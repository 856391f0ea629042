#pragma once
// Shared helpers of the catalog tests: a forge-built primary file opened and its catalog loaded.

#include <memory>
#include <string>
#include <vector>

#include "catalog/Catalog.h"
#include "catalog/SystemRecord.h"
#include "forge/RecordingEventSink.h"
#include "forge/SystemTableForge.h"
#include "forge/TempFolder.h"
#include "pages/DatabaseFileSet.h"
#include "support/AppState.h"

namespace catalogtest {

// The names of `columns`, in order.
inline std::vector<std::string> Names(const std::vector<pw::ColumnDescriptor>& columns) {
    std::vector<std::string> names;
    for (const auto& c : columns) names.push_back(c.name);
    return names;
}

struct LoadedCatalog {
    forge::TempFolder folder;
    pw::AppState state;
    forge::RecordingEventSink sink;
    std::unique_ptr<pw::CDatabaseFileSet> files;
    std::unique_ptr<pw::CCatalog> catalog;

    pw::CCatalog& Load(forge::CatalogFileBuilder& builder, const std::string& name = "db.mdf") {
        forge::WriteFile(folder.File(name), builder.File().Bytes());
        files = pw::CDatabaseFileSet::OpenFileSet(folder.File(name), state, sink);
        catalog = std::make_unique<pw::CCatalog>(state);
        if (files->IsOpened()) catalog->LoadCatalog(*files);
        return *catalog;
    }
};

// A record view over plain bytes: `fixed` as the fixed part, `vars` as variable columns.
struct RecordBytes {
    forge::Bytes fixed;
    std::vector<forge::Bytes> vars;
    int type = 0;
    int columnCount = 0;

    pw::SystemRecord View() const {
        pw::SystemRecord r;
        r.recordType = type;
        r.fixed = pw::ByteView(fixed.data(), fixed.size());
        r.columnCount = columnCount;
        for (const forge::Bytes& v : vars) r.vars.emplace_back(v.data(), v.size());
        return r;
    }
};

// The type rows of the system schema the tests use.
inline std::vector<forge::Bytes> SystemTypes() {
    return {
        forge::ScalarTypeRecord(34, 34, 16, "image", 4),      forge::ScalarTypeRecord(35, 35, 16, "text", 4),
        forge::ScalarTypeRecord(56, 56, 4, "int", 4),         forge::ScalarTypeRecord(99, 99, 16, "ntext", 4),
        forge::ScalarTypeRecord(167, 167, 8000, "varchar", 4), forge::ScalarTypeRecord(175, 175, 8000, "char", 4),
        forge::ScalarTypeRecord(231, 231, 8000, "nvarchar", 4), forge::ScalarTypeRecord(256, 231, 256, "sysname", 4),
        forge::ScalarTypeRecord(128, 240, 892, "hierarchyid", 4), forge::ScalarTypeRecord(129, 240, -1, "geometry", 4),
        forge::ScalarTypeRecord(130, 240, -1, "geography", 4),
    };
}

}  // namespace catalogtest
