#pragma once
// CCatalog: the in-memory catalog of one scan.
//
// It owns the flat lists read from the system base tables, in the order they
// were read, and one set of per-object working state filled by OpenObject:
// the object last opened, its rowset, allocation units, data pages, columns,
// indexes and keys. Rules that pick "the first" or "the last" matching row
// of a list walk the rows of one object only: every lookup that would repeat
// over the whole list goes through an index by object id (or rowset id),
// built once after the lists change, whose entries keep list order.

#include <cstdint>
#include <string>
#include <memory>
#include <unordered_map>
#include <vector>

#include "catalog/CatalogRows.h"
#include "catalog/ColumnDescriptor.h"
#include "pages/DataFileEntry.h"
#include "pages/PageRef.h"

namespace pw {

struct AppState;
class CDatabaseFileSet;

// A data page of the opened object: (file id, page number).
struct DataPageAddress {
    std::uint16_t fileId = 0;
    std::uint32_t pageNumber = 0;
    friend bool operator==(const DataPageAddress&, const DataPageAddress&) = default;
};

// Bits 24 and 25 of an object id are cleared before columns are matched to their object.
constexpr std::uint32_t kColumnObjectIdMask = 0xFCFFFFFFu;

class CCatalog {
public:
    explicit CCatalog(AppState& state) : state_(state) {}
    CCatalog(const CCatalog&) = delete;
    CCatalog& operator=(const CCatalog&) = delete;

    // ---- building ------------------------------------------------------------
    // Reads the boot page, the file list (and through it the secondary files)
    // and every system table, in that order; switches to the SQL Server 2000
    // layout when object 34 yields no object row. See Catalog.cpp.
    void LoadCatalog(CDatabaseFileSet& files);
    // Empties every list and the per-object state.
    void ClearCatalog();
    // The data page map used for data pages (set by LoadCatalog; tests may set their own).
    void SetDataPageMap(const PageMap* map) { dataPageMap_ = map; }
    // The foreign key pairing: fills foreignKeyColumns from objectRefs (SQL Server 2005 and later).
    void PairForeignKeys();

    // ---- lookups -------------------------------------------------------------
    bool IsSql2000() const;
    // The first object named `name` (exact) whose type code is `typeCode`, or
    // whose type code is neither "U " nor "S ". Null when there is none.
    const ObjectRow* FindObject(const std::string& name, const std::string& typeCode) const;
    // The type of a column: the first type row whose type id equals both ids,
    // whose system type id is `systemTypeId` and whose schema is 1; else the
    // first whose type id is `systemTypeId`; else an empty row.
    TypeRow LookupType(int systemTypeId, int userTypeId) const;

    // ---- opening an object ---------------------------------------------------
    // Fills the per-object state for the object and returns its descriptors:
    // the table's columns, or for modules, keys and constraints three
    // descriptors holding its id, type code and name. Empty when not found.
    std::vector<ColumnDescriptor> OpenObject(const std::string& name, const std::string& typeCode);

    // ---- the lists -----------------------------------------------------------
    std::vector<FileRow> files;
    DataFileList fileList;  // the secondary-file search's view of `files`
    std::vector<ObjectRow> objects;
    std::vector<AllocUnitRow> allocUnits;
    std::vector<RowsetRow> rowsets;
    std::vector<ColumnRow> columns;
    std::vector<TypeRow> types;
    std::vector<RowsetColumnRow> rowsetColumns;
    std::vector<ObjectRefRow> objectRefs;
    std::vector<IndexRow> indexes;
    std::vector<IndexColumnRow> indexColumns;
    std::vector<HobtColumnRow> hobtColumns;
    std::vector<RowsetColumn2005Row> rowsetColumns2005;
    std::vector<Column2000Row> columns2000;
    std::vector<Table2000> tables2000;
    Index2000Map indexes2000;
    std::vector<ForeignKeyColumn> foreignKeyColumns;
    std::vector<ModuleValue> computedTexts;
    // Definition rows read on the first definition request; the flag is set while they are read.
    std::vector<ModuleValue> moduleTexts;
    bool moduleTextsLoaded = false;

    // ---- per-object state of the last OpenObject ------------------------------
    ObjectRow currentObject;
    std::vector<KeyEntry> keyEntries;
    RowsetRow chosenRowset;
    AllocUnitRow inRowAllocUnit;
    std::vector<RowsetRow> objectRowsets;
    std::vector<AllocUnitRow> objectAllocUnits;
    std::vector<ColumnRow> tableColumns;
    std::vector<Column2000Row> tableColumns2000;
    std::vector<RowsetColumnRow> objectRowsetColumns;
    std::vector<HobtColumnRow> objectHobtColumns;
    std::vector<RowsetColumn2005Row> objectRowsetColumns2005;
    std::vector<IndexRow> objectIndexes;
    std::vector<IndexColumnRow> objectIndexColumns;
    std::vector<DataPageAddress> dataPages;
    std::vector<ColumnDescriptor> descriptors;
    bool isTableOpen = false;
    std::size_t firstRowColumn = 0;

    // ---- indexes over the lists (kept in list order) ---------------------------
    // Rebuilt automatically when a list changed size; call after changing rows in place.
    void Reindex() const;
    using Positions = std::vector<std::size_t>;
    const Positions& ObjectsWithParent(std::int32_t parentId) const;
    const Positions& RowsetsOfObject(std::int32_t objectId) const;
    const Positions& AllocUnitsOfOwner(std::int64_t ownerId) const;
    const Positions& ColumnsOfObject(std::int32_t objectId) const;  // by masked id
    const Positions& Columns2000OfObject(std::int32_t objectId) const;  // by masked id
    const Positions& RowsetColumnsOfRowset(std::int64_t rowsetId) const;
    const Positions& HobtColumnsOfHobt(std::int64_t hobtId) const;
    const Positions& RowsetColumns2005OfRowset(std::int64_t rowsetId) const;
    const Positions& IndexesOfObject(std::int32_t objectId) const;
    const Positions& IndexColumnsOfObject(std::int32_t objectId) const;
    const Positions& ForeignKeysOfTable(std::int32_t tableId) const;
    // The last object row with this id, or null.
    const ObjectRow* LastObjectWithId(std::int32_t id) const;
    const ObjectRow* FirstObjectWithId(std::int32_t id) const;
    // The computed-column texts of (object id, column id), in list order.
    const Positions& ComputedTextsOf(std::int32_t objectId, std::int32_t columnId) const;

private:
    void ResetObjectState();
    void CollectPages2005();
    void CollectRowsetColumns();
    void BuildDescriptors();
    void PlaceColumns();
    void EnsureIndexes() const;

    AppState& state_;
    const PageMap* dataPageMap_ = nullptr;

    struct Indexes;
    struct IndexesDeleter {
        void operator()(Indexes* p) const;
    };
    mutable std::unique_ptr<Indexes, IndexesDeleter> indexes_;
};

}  // namespace pw
