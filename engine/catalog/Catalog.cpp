#include "catalog/Catalog.h"

#include <algorithm>
#include <unordered_set>

#include "catalog/ColumnKinds.h"
#include "catalog/HexValue.h"
#include "catalog/Keys.h"
#include "catalog/SystemTableReader.h"
#include "pages/DatabaseFileSet.h"
#include "rows/ValueKind.h"
#include "support/AppState.h"

namespace pw {

namespace {

// Object types opened as a three-cell description (id, type code, name) instead of columns.
bool IsDescribedType(const std::string& code) {
    static const char* const kCodes[] = {"PK", "X ", "P ", "C ", "FN", "IF", "TR", "V ", "D ", "TT", "F ", "TF"};
    for (const char* c : kCodes)
        if (code == c) return true;
    return false;
}

bool IsZero(const PagePointer& p) { return p.page == 0 && p.file == 0; }

// Value kinds the catalog chooses itself.
constexpr int kImageKind = 25;       // image: read as a binary large value
constexpr int kHierarchyIdKind = 31;  // system type 240, user type 128
constexpr int kGeometryKind = 32;     // system type 240, user type 129
constexpr int kClrKind = 33;          // system type 240, any other user type

}  // namespace

bool CCatalog::IsSql2000() const { return state_.m_bIsSql2000; }

void CCatalog::ClearCatalog() {
    files.clear();
    fileList.clear();
    objects.clear();
    allocUnits.clear();
    rowsets.clear();
    columns.clear();
    types.clear();
    rowsetColumns.clear();
    objectRefs.clear();
    indexes.clear();
    indexColumns.clear();
    hobtColumns.clear();
    rowsetColumns2005.clear();
    columns2000.clear();
    tables2000.clear();
    indexes2000.clear();
    foreignKeyColumns.clear();
    computedTexts.clear();
    moduleTexts.clear();
    moduleTextsLoaded = false;
    ResetObjectState();
    indexes_.reset();
}

void CCatalog::ResetObjectState() {
    currentObject = ObjectRow{};
    keyEntries.clear();
    chosenRowset = RowsetRow{};
    inRowAllocUnit = AllocUnitRow{};
    objectRowsets.clear();
    objectAllocUnits.clear();
    tableColumns.clear();
    tableColumns2000.clear();
    objectRowsetColumns.clear();
    objectHobtColumns.clear();
    objectRowsetColumns2005.clear();
    objectIndexes.clear();
    objectIndexColumns.clear();
    dataPages.clear();
    descriptors.clear();
    isTableOpen = false;
    firstRowColumn = 0;
}

// The order matters: the file list must be read before the secondary files
// are searched (their pages hold the rest of the system tables), and the
// object table decides the layout every later step reads.
void CCatalog::LoadCatalog(CDatabaseFileSet& fileSet) {
    dataPageMap_ = &fileSet.DataPageMap();
    CSystemTableReader reader(fileSet);

    // 1. Boot page, then the database's file list and its secondary files.
    fileSet.ReadBootPage();
    if (!state_.StopRequested()) reader.ReadFiles(files);
    fileList.clear();
    for (const FileRow& row : files) {
        DataFileEntry entry;
        entry.fileId = static_cast<std::uint16_t>(row.fileId);
        entry.name = row.physicalName;
        fileList.push_back(entry);
    }
    fileSet.LocateSecondaryFiles(fileSet.PrimaryPath(), fileList);

    // 2. Objects. Files of SQL Server 2000 have no object 34: their objects
    // are in sysobjects (object 1), with other offsets.
    reader.ReadObjects(kSysSchObjs, ObjectLayout::kSql2005, objects);
    if (objects.empty()) {
        state_.m_bIsSql2000 = true;
        reader.ReadObjects(kSysObjects2000, ObjectLayout::kSql2000, objects);
    } else {
        state_.m_bIsSql2000 = false;
    }

    // 3. Allocation units and rowsets (unused by the SQL Server 2000 layout).
    reader.ReadAllocUnits(allocUnits);
    reader.ReadRowsets(rowsets);

    // 4. Columns.
    if (state_.m_bIsSql2000) {
        reader.ReadIndexes2000(indexes2000);
        for (const auto& [id, entry] : indexes2000) {
            if (id <= 100 || entry.indexId != 1) continue;
            Table2000 table;
            table.id = id;
            if (const ObjectRow* row = FirstObjectWithId(id)) table.name = row->name;
            tables2000.push_back(std::move(table));
        }
        std::unordered_map<std::int32_t, std::size_t> tableById;
        for (std::size_t i = 0; i < tables2000.size(); ++i) tableById.emplace(tables2000[i].id, i);
        reader.ReadColumns2000(columns2000, [&](std::size_t firstOfPage) {
            for (std::size_t i = firstOfPage; i < columns2000.size(); ++i) {
                const Column2000Row& column = columns2000[i];
                const auto table = tableById.find(column.objectId);
                if (table == tableById.end()) continue;
                tables2000[table->second].columns.push_back({column.name, column.columnOrder, column.typeStatus});
            }
        });
    } else {
        reader.ReadColumns(columns);
    }

    // 5. Types.
    reader.ReadTypes(types);

    // 6. Physical column positions, indexes and references of later layouts.
    if (!state_.m_bIsSql2000) {
        reader.ReadRowsetColumns(rowsetColumns);
        reader.ReadObjectRefs(objectRefs);
        reader.ReadIndexes(indexes);
        reader.ReadIndexColumns(indexColumns);
        if (!state_.StopRequested()) reader.ReadHobtColumns(hobtColumns);
        reader.ReadRowsetColumns2005(rowsetColumns2005);
        PairForeignKeys();
    }
    Reindex();
}

std::vector<ColumnDescriptor> CCatalog::OpenObject(const std::string& name, const std::string& typeCode) {
    ResetObjectState();

    // 1. The object.
    const ObjectRow* found = FindObject(name, typeCode);
    if (!found) return {};
    currentObject = *found;
    const std::int32_t id = currentObject.id;

    // 2. Its keys and constraints.
    keyEntries = BuildKeyEntries(*this, id);

    // 3. Modules, keys and constraints are described, not opened.
    if (IsDescribedType(currentObject.typeCode)) {
        for (const std::string& text : {std::to_string(id), currentObject.typeCode, currentObject.name}) {
            ColumnDescriptor d;
            d.value = text;
            descriptors.push_back(std::move(d));
        }
        isTableOpen = false;
        return descriptors;
    }

    // 4. Data pages.
    isTableOpen = false;
    if (IsSql2000()) {
        if (dataPageMap_) {
            const auto pages = dataPageMap_->find(id);
            if (pages != dataPageMap_->end())
                for (const PageRef& ref : pages->second) dataPages.push_back({ref.fileId, ref.position});
        }
    } else {
        CollectPages2005();
    }

    // 5. Declared columns: each column id once, in list order.
    std::unordered_set<std::int32_t> seen;
    if (IsSql2000()) {
        for (std::size_t i : Columns2000OfObject(id)) {
            const Column2000Row& column = columns2000[i];
            if (seen.insert(column.columnId).second) tableColumns2000.push_back(column);
        }
    } else {
        for (std::size_t i : ColumnsOfObject(id)) {
            const ColumnRow& column = columns[i];
            if (column.number != 0) continue;
            if (seen.insert(column.columnId).second) tableColumns.push_back(column);
        }
    }

    // 6. Where the columns lie in a record; 7. index columns.
    if (!IsSql2000()) {
        CollectRowsetColumns();
        CollectIndexColumns(*this, id, objectIndexes, objectIndexColumns);
    }

    // 8. Descriptors; 9. in column id order; 10. physical positions.
    BuildDescriptors();
    std::stable_sort(descriptors.begin(), descriptors.end(),
                     [](const ColumnDescriptor& a, const ColumnDescriptor& b) { return a.columnId < b.columnId; });
    PlaceColumns();

    // 11. Key and foreign key flags.
    if (!IsSql2000()) SetColumnFlags(descriptors, objectIndexColumns, *this, id);

    // 12.
    firstRowColumn = 0;
    for (std::size_t i = 0; i < descriptors.size(); ++i) {
        if (descriptors[i].ordinal != kNotStoredOrdinal) {
            firstRowColumn = i;
            break;
        }
    }
    isTableOpen = true;
    return descriptors;
}

// The rowset that holds the table's rows, its in-row allocation unit and
// every data page of every rowset of the object.
void CCatalog::CollectPages2005() {
    const std::int32_t id = currentObject.id;
    const Positions& ofObject = RowsetsOfObject(id);

    // The heap (index 0) or clustered index (1) rowset, the lower id winning;
    // without one, the last rowset of the object.
    bool chosen = false;
    std::int32_t smallest = 8;
    for (std::size_t i : ofObject) {
        const RowsetRow& row = rowsets[i];
        if (row.minorId <= 1 && row.minorId <= smallest) {
            chosenRowset = row;
            smallest = row.minorId;
            chosen = true;
        }
    }
    if (!chosen && !ofObject.empty()) chosenRowset = rowsets[ofObject.back()];

    // The last in-row data unit of the chosen rowset. Its first page is taken
    // from the page map (the last data page filed under its key) unless the
    // unit has no pages at all.
    if (!ofObject.empty()) {
        for (std::size_t i : AllocUnitsOfOwner(chosenRowset.rowsetId))
            if (allocUnits[i].type == 1) inRowAllocUnit = allocUnits[i];
        const AllocUnitRow& unit = inRowAllocUnit;
        if (!(IsZero(unit.firstPage) && IsZero(unit.rootPage) && IsZero(unit.firstIamPage)) && dataPageMap_) {
            const auto pages = dataPageMap_->find(unit.PageKey());
            if (pages != dataPageMap_->end() && !pages->second.empty()) {
                const PageRef& last = pages->second.back();
                inRowAllocUnit.firstPage = PagePointer{last.position, last.fileId};
            }
        }
    }

    // Every rowset's every allocation unit, every data page filed under its
    // key. Pages of files created by SQL Server 2000 carry the object id
    // itself, so several units share one key: its pages are taken once.
    std::unordered_set<std::int32_t> keysTaken;
    for (std::size_t r : ofObject) {
        const RowsetRow& rowset = rowsets[r];
        objectRowsets.push_back(rowset);
        for (std::size_t a : AllocUnitsOfOwner(rowset.rowsetId)) {
            const AllocUnitRow& unit = allocUnits[a];
            objectAllocUnits.push_back(unit);
            if (!dataPageMap_ || !keysTaken.insert(unit.PageKey()).second) continue;
            const auto pages = dataPageMap_->find(unit.PageKey());
            if (pages == dataPageMap_->end()) continue;
            for (const PageRef& ref : pages->second) dataPages.push_back({ref.fileId, ref.position});
        }
    }
}

// sysrscols rows of the chosen rowset; without them, the SQL Server 2005
// heap/B-tree columns and rowset columns, paired by column id.
void CCatalog::CollectRowsetColumns() {
    // An object without any rowset has no physical columns (rows that kept
    // their default rowset id must not be taken for its columns).
    if (objectRowsets.empty()) return;
    const std::int64_t rowsetId = chosenRowset.rowsetId;
    for (std::size_t i : RowsetColumnsOfRowset(rowsetId)) objectRowsetColumns.push_back(rowsetColumns[i]);
    if (!objectRowsetColumns.empty()) return;
    for (std::size_t i : HobtColumnsOfHobt(rowsetId)) objectHobtColumns.push_back(hobtColumns[i]);
    for (std::size_t i : RowsetColumns2005OfRowset(rowsetId)) objectRowsetColumns2005.push_back(rowsetColumns2005[i]);
    for (const RowsetColumn2005Row& rc : objectRowsetColumns2005)
        for (HobtColumnRow& h : objectHobtColumns)
            if (h.columnId == rc.rowsetColumnId) h.physicalColumn = rc.hobtColumnId;
}

void CCatalog::BuildDescriptors() {
    const auto kindOf = [](int systemTypeId) {
        // Image values are read as binary large values.
        return systemTypeId == 34 ? kImageKind : static_cast<int>(KindFromSystemType(systemTypeId));
    };
    // The fields both layouts' column rows hold.
    const auto describe = [this, &kindOf](const auto& column) {
        const std::string type = LookupType(column.systemTypeId, column.userTypeId).name + "(" +
                                 std::to_string(column.length) + ")";
        ColumnDescriptor d = MakeDescriptor(column.name, type, kindOf(column.systemTypeId));
        d.columnId = column.columnId;
        d.ordinal = column.columnId;
        d.precision = column.precision;
        d.scale = column.scale;
        d.collationId = column.collationId;
        d.isNullable = (column.status & 1) == 0 ? 1 : 0;
        return d;
    };
    if (IsSql2000()) {
        for (const Column2000Row& column : tableColumns2000) {
            if (column.systemTypeId == 0) continue;
            ColumnDescriptor d = describe(column);
            d.isSparse = 0;
            d.leafOffset = column.leafOffset;
            d.xoffset = column.xoffset;
            descriptors.push_back(std::move(d));
        }
        return;
    }
    for (const ColumnRow& column : tableColumns) {
        if (column.systemTypeId == 0) continue;
        ColumnDescriptor d = describe(column);
        d.isSparse = (column.status >> 24) & 1 ? 1 : 0;
        d.isRowGuid = (column.status >> 3) & 1 ? 1 : 0;
        d.identityText = column.identityText;
        // CLR types share system type 240; the user type tells them apart.
        if (d.valueKind == kClrKind && column.userTypeId == 129) d.valueKind = kGeometryKind;
        if (d.valueKind == kClrKind && column.userTypeId == 128) d.valueKind = kHierarchyIdKind;
        descriptors.push_back(std::move(d));
    }
}

void CCatalog::PlaceColumns() {
    if (IsSql2000()) {
        for (ColumnDescriptor& d : descriptors) d.inRow = 1;
        return;
    }
    // Column ids are unique in the list (step 5), so the first match is the only one.
    std::unordered_map<int, std::size_t> byColumnId;
    for (std::size_t i = 0; i < descriptors.size(); ++i) byColumnId.emplace(descriptors[i].columnId, i);
    const auto descriptorOf = [&](int columnId) -> ColumnDescriptor* {
        const auto found = byColumnId.find(columnId);
        return found == byColumnId.end() ? nullptr : &descriptors[found->second];
    };

    if (!objectRowsetColumns.empty()) {
        for (const RowsetColumnRow& rc : objectRowsetColumns) {
            ColumnDescriptor* d = descriptorOf(rc.rowsetColumnId);
            if (!d) continue;
            d->leafOffset = static_cast<std::int16_t>(static_cast<std::uint32_t>(rc.offset) & 0xFFFFu);
            d->ordinal = rc.hobtColumnId;
            d->nullBit = rc.nullBit;
            d->inRow = 1;
        }
    } else if (objectHobtColumns.empty() && objectRowsetColumns2005.empty()) {
        for (ColumnDescriptor& d : descriptors) d.inRow = 1;
        return;
    } else {
        for (const HobtColumnRow& h : objectHobtColumns) {
            ColumnDescriptor* d = descriptorOf(h.columnId);
            if (!d) continue;
            d->leafOffset = h.leafOffset;
            d->nullBit = h.nullBit;
            d->ordinal = h.physicalColumn;
            d->inRow = 1;
        }
    }

    // Columns that are not stored in the row are computed: their value is
    // their definition, taken from the computed-column texts.
    const std::string objectId = std::to_string(currentObject.id);
    for (ColumnDescriptor& d : descriptors) {
        if (d.inRow != 0) continue;
        d.ordinal = kNotStoredOrdinal;
        std::string text;
        for (std::size_t i : ComputedTextsOf(currentObject.id, d.columnId)) {
            const std::optional<HexValue> value = DecodeHexValue(computedTexts[i].value);
            if (value && !value->bytes.empty()) text += HexValueText(*value, state_.m_nAnsiCodePage);
        }
        if (!text.empty()) d.value = text;
    }
}

}  // namespace pw
