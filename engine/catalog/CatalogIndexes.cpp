// The catalog's indexes: positions of rows in their lists, grouped by the id
// the catalog looks them up by, in list order. They replace walks over whole
// lists that would otherwise be repeated once per opened table.

#include <array>

#include "catalog/Catalog.h"

namespace pw {

namespace {

template <typename Key>
using Groups = std::unordered_map<Key, CCatalog::Positions>;

const CCatalog::Positions& Find(const auto& groups, const auto& key) {
    static const CCatalog::Positions kNone;
    const auto found = groups.find(key);
    return found == groups.end() ? kNone : found->second;
}

std::int32_t Masked(std::int32_t id) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(id) & kColumnObjectIdMask);
}

std::string ComputedKey(const std::string& objectId, const std::string& subId) { return objectId + '\x1f' + subId; }

}  // namespace

struct CCatalog::Indexes {
    std::array<std::size_t, 13> sizes{};
    Groups<std::string> objectsByName;
    Groups<std::int32_t> objectsByParent;
    std::unordered_map<std::int32_t, std::size_t> firstObjectById;
    std::unordered_map<std::int32_t, std::size_t> lastObjectById;
    Groups<std::int32_t> rowsetsByObject;
    Groups<std::int64_t> allocUnitsByOwner;
    Groups<std::int32_t> columnsByObject;
    Groups<std::int32_t> columns2000ByObject;
    Groups<std::int64_t> rowsetColumnsByRowset;
    Groups<std::int64_t> hobtColumnsByHobt;
    Groups<std::int64_t> rowsetColumns2005ByRowset;
    Groups<std::int32_t> indexesByObject;
    Groups<std::int32_t> indexColumnsByObject;
    Groups<std::int32_t> foreignKeysByTable;
    Groups<std::string> computedTexts;
    Groups<std::int32_t> typesById;
};

void CCatalog::IndexesDeleter::operator()(Indexes* p) const { delete p; }

namespace {

std::array<std::size_t, 13> ListSizes(const CCatalog& c) {
    return {c.objects.size(),       c.rowsets.size(),      c.allocUnits.size(),       c.columns.size(),
            c.columns2000.size(),   c.rowsetColumns.size(), c.hobtColumns.size(),     c.rowsetColumns2005.size(),
            c.indexes.size(),       c.indexColumns.size(), c.foreignKeyColumns.size(), c.computedTexts.size(),
            c.types.size()};
}

}  // namespace

void CCatalog::Reindex() const {
    auto built = std::unique_ptr<Indexes, IndexesDeleter>(new Indexes);
    Indexes& x = *built;
    x.sizes = ListSizes(*this);
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const ObjectRow& row = objects[i];
        x.objectsByName[row.name].push_back(i);
        x.objectsByParent[row.parentId].push_back(i);
        x.firstObjectById.emplace(row.id, i);
        x.lastObjectById[row.id] = i;
    }
    for (std::size_t i = 0; i < rowsets.size(); ++i) x.rowsetsByObject[rowsets[i].majorId].push_back(i);
    for (std::size_t i = 0; i < allocUnits.size(); ++i) x.allocUnitsByOwner[allocUnits[i].ownerId].push_back(i);
    for (std::size_t i = 0; i < columns.size(); ++i) x.columnsByObject[Masked(columns[i].objectId)].push_back(i);
    for (std::size_t i = 0; i < columns2000.size(); ++i)
        x.columns2000ByObject[Masked(columns2000[i].objectId)].push_back(i);
    for (std::size_t i = 0; i < rowsetColumns.size(); ++i)
        x.rowsetColumnsByRowset[rowsetColumns[i].rowsetId].push_back(i);
    for (std::size_t i = 0; i < hobtColumns.size(); ++i) x.hobtColumnsByHobt[hobtColumns[i].hobtId].push_back(i);
    for (std::size_t i = 0; i < rowsetColumns2005.size(); ++i)
        x.rowsetColumns2005ByRowset[rowsetColumns2005[i].rowsetId].push_back(i);
    for (std::size_t i = 0; i < indexes.size(); ++i) x.indexesByObject[indexes[i].objectId].push_back(i);
    for (std::size_t i = 0; i < indexColumns.size(); ++i)
        x.indexColumnsByObject[indexColumns[i].majorId].push_back(i);
    for (std::size_t i = 0; i < foreignKeyColumns.size(); ++i)
        x.foreignKeysByTable[foreignKeyColumns[i].parentTableId].push_back(i);
    for (std::size_t i = 0; i < computedTexts.size(); ++i)
        x.computedTexts[ComputedKey(computedTexts[i].objectId, computedTexts[i].subId)].push_back(i);
    for (std::size_t i = 0; i < types.size(); ++i) x.typesById[types[i].typeId].push_back(i);
    indexes_ = std::move(built);
}

void CCatalog::EnsureIndexes() const {
    if (!indexes_ || indexes_->sizes != ListSizes(*this)) Reindex();
}

const CCatalog::Positions& CCatalog::ObjectsWithParent(std::int32_t parentId) const {
    EnsureIndexes();
    return Find(indexes_->objectsByParent, parentId);
}
const CCatalog::Positions& CCatalog::RowsetsOfObject(std::int32_t objectId) const {
    EnsureIndexes();
    return Find(indexes_->rowsetsByObject, objectId);
}
const CCatalog::Positions& CCatalog::AllocUnitsOfOwner(std::int64_t ownerId) const {
    EnsureIndexes();
    return Find(indexes_->allocUnitsByOwner, ownerId);
}
const CCatalog::Positions& CCatalog::ColumnsOfObject(std::int32_t objectId) const {
    EnsureIndexes();
    return Find(indexes_->columnsByObject, Masked(objectId));
}
const CCatalog::Positions& CCatalog::Columns2000OfObject(std::int32_t objectId) const {
    EnsureIndexes();
    return Find(indexes_->columns2000ByObject, Masked(objectId));
}
const CCatalog::Positions& CCatalog::RowsetColumnsOfRowset(std::int64_t rowsetId) const {
    EnsureIndexes();
    return Find(indexes_->rowsetColumnsByRowset, rowsetId);
}
const CCatalog::Positions& CCatalog::HobtColumnsOfHobt(std::int64_t hobtId) const {
    EnsureIndexes();
    return Find(indexes_->hobtColumnsByHobt, hobtId);
}
const CCatalog::Positions& CCatalog::RowsetColumns2005OfRowset(std::int64_t rowsetId) const {
    EnsureIndexes();
    return Find(indexes_->rowsetColumns2005ByRowset, rowsetId);
}
const CCatalog::Positions& CCatalog::IndexesOfObject(std::int32_t objectId) const {
    EnsureIndexes();
    return Find(indexes_->indexesByObject, objectId);
}
const CCatalog::Positions& CCatalog::IndexColumnsOfObject(std::int32_t objectId) const {
    EnsureIndexes();
    return Find(indexes_->indexColumnsByObject, objectId);
}
const CCatalog::Positions& CCatalog::ForeignKeysOfTable(std::int32_t tableId) const {
    EnsureIndexes();
    return Find(indexes_->foreignKeysByTable, tableId);
}
const CCatalog::Positions& CCatalog::ComputedTextsOf(std::int32_t objectId, std::int32_t columnId) const {
    EnsureIndexes();
    return Find(indexes_->computedTexts, ComputedKey(std::to_string(objectId), std::to_string(columnId)));
}

const ObjectRow* CCatalog::LastObjectWithId(std::int32_t id) const {
    EnsureIndexes();
    const auto found = indexes_->lastObjectById.find(id);
    return found == indexes_->lastObjectById.end() ? nullptr : &objects[found->second];
}

const ObjectRow* CCatalog::FirstObjectWithId(std::int32_t id) const {
    EnsureIndexes();
    const auto found = indexes_->firstObjectById.find(id);
    return found == indexes_->firstObjectById.end() ? nullptr : &objects[found->second];
}

const ObjectRow* CCatalog::FindObject(const std::string& name, const std::string& typeCode) const {
    EnsureIndexes();
    for (std::size_t i : Find(indexes_->objectsByName, name)) {
        const ObjectRow& row = objects[i];
        if (row.typeCode == typeCode || (row.typeCode != "U " && row.typeCode != "S ")) return &row;
    }
    return nullptr;
}

TypeRow CCatalog::LookupType(int systemTypeId, int userTypeId) const {
    EnsureIndexes();
    const Positions& candidates = Find(indexes_->typesById, static_cast<std::int32_t>(systemTypeId));
    // A type row of the system schema whose ids all agree names a system type itself.
    for (std::size_t i : candidates) {
        const TypeRow& row = types[i];
        if (row.typeId == userTypeId && row.systemTypeId == systemTypeId && row.schemaId == 1) return row;
    }
    // Otherwise (an alias type, or a system schema row that was not read) the base type.
    if (!candidates.empty()) return types[candidates.front()];
    return TypeRow{};
}

}  // namespace pw
