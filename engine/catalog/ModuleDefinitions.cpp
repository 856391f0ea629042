#include "catalog/ModuleDefinitions.h"

#include "catalog/Catalog.h"
#include "catalog/CatalogNaming.h"
#include "catalog/ColumnKinds.h"
#include "catalog/HexValue.h"
#include "catalog/SystemRowBuilders.h"
#include "pages/DatabaseFileSet.h"
#include "rows/RenderContext.h"
#include "rows/RowDecoder.h"
#include "support/EventSink.h"

namespace pw {

namespace {

// Reduces a decoded row of the definition table to its three texts.
ModuleValue Reduce(const DecodedRow& row, bool layout2000) {
    ModuleValue value;
    if (layout2000) {
        value.objectId = row[0].value;
        if (row.size() > 1) value.subId = row[1].value;
        if (row.size() > 4) value.value = row[4].value;
    } else {
        if (row.size() > 1) value.objectId = row[1].value;
        if (row.size() > 2) value.subId = row[2].value;
        value.value = row.back().value;
    }
    return value;
}

// The syscomments columns of the SQL Server 2000 catalog.
std::vector<ColumnDescriptor> SyscommentsColumns(CCatalog& catalog) {
    return catalog.OpenObject("syscomments", "S ");
}

}  // namespace

std::vector<ColumnDescriptor> SysobjvaluesColumns() {
    return {
        MakeDescriptor("valclass", "tinyint(1)", 14),
        MakeDescriptor("objid", "int(4)", 9),
        MakeDescriptor("subobjid", "int(4)", 9),
        MakeDescriptor("valnum", "int(4)", 9),
        MakeDescriptor("value", "sql_variant(8016)", 20),
        MakeDescriptor("imageval", "varbinary(-1)", 16),
    };
}

bool RowsetColumnsKnown(const CCatalog& catalog, std::int32_t objectId) {
    for (std::size_t r : catalog.RowsetsOfObject(objectId))
        if (!catalog.RowsetColumnsOfRowset(catalog.rowsets[r].rowsetId).empty()) return true;
    return false;
}

void ReadDefinitionTable(DefinitionSource& source, const std::vector<ColumnDescriptor>& columns,
                         std::vector<ModuleValue>& list) {
    const AppState& app = source.render.app;
    source.sink.LogLine(kDefinitionReadStartLog);
    const bool layout2000 = app.m_bIsSql2000;
    const std::int32_t tableId = layout2000 ? kSysComments2000 : kSysObjValues;
    static const std::vector<PageRef> kNoPages;
    const PageMap& map = source.files.SystemPageMap();
    const auto found = map.find(tableId);
    const std::vector<PageRef>& pages = found == map.end() ? kNoPages : found->second;
    const auto n = static_cast<std::int64_t>(pages.size());
    source.sink.ProgressRange(0, n);

    WorkingTable table(columns, RowsetColumnsKnown(source.catalog, tableId));
    for (std::int64_t i = 0; i < n && !app.StopRequested(); ++i) {
        const PageRef& ref = pages[static_cast<std::size_t>(i)];
        if (layout2000 && ref.pageType != kDataPage) continue;
        const std::unique_ptr<CDataPage> page = source.files.ReadDataPage(ref.fileId, ref.position);
        if (!page) continue;
        VisitModuleRows(*page, table, source.render, [&](const DecodedRow& row) {
            if (!row.empty()) list.push_back(Reduce(row, layout2000));
        });
        source.sink.ProgressPosition(i);
    }
    source.sink.ProgressPosition(n);
    source.sink.LogLine(kDefinitionReadDoneLog);
}

void LoadComputedTexts(DefinitionSource& source) {
    CCatalog& catalog = source.catalog;
    catalog.tableColumns.clear();
    catalog.tableColumns2000.clear();
    catalog.descriptors.clear();
    const std::vector<ColumnDescriptor> columns =
        source.render.app.m_bIsSql2000 ? SyscommentsColumns(catalog) : SysobjvaluesColumns();
    catalog.computedTexts.clear();
    ReadDefinitionTable(source, columns, catalog.computedTexts);
    catalog.descriptors.clear();
    catalog.Reindex();
}

std::string ModuleText(DefinitionSource& source, const std::string& key) {
    CCatalog& catalog = source.catalog;
    const AppState& app = source.render.app;
    catalog.tableColumns.clear();
    catalog.tableColumns2000.clear();
    std::vector<ColumnDescriptor> columns;
    if (app.m_bIsSql2000) {
        columns = SyscommentsColumns(catalog);
    } else {
        catalog.descriptors = SysobjvaluesColumns();
        columns = catalog.descriptors;
    }
    if (!catalog.moduleTextsLoaded) {
        catalog.moduleTextsLoaded = true;
        ReadDefinitionTable(source, columns, catalog.moduleTexts);
        if (catalog.moduleTexts.empty()) catalog.moduleTextsLoaded = false;
    }

    std::string text;
    for (const ModuleValue& row : catalog.moduleTexts) {
        if (row.objectId != key) continue;
        const std::optional<HexValue> value = DecodeHexValue(row.value);
        if (!value || value->bytes.empty()) continue;
        const ByteView bytes(value->bytes.data(), value->bytes.size());
        if (value->utf16) {
            text += Utf16Name(bytes);
        } else {
            // A single-byte fragment that repeats the whole text read so far is not added again.
            const std::string fragment = source.render.codePages.ToUtf8(app.m_nAnsiCodePage, bytes);
            if (fragment != text) text += fragment;
        }
    }
    catalog.descriptors.clear();
    return text;
}

}  // namespace pw
