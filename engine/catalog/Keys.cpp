#include "catalog/Keys.h"

#include <algorithm>

#include "catalog/Catalog.h"

namespace pw {

std::vector<KeyEntry> BuildKeyEntries(const CCatalog& catalog, std::int32_t tableId) {
    std::vector<KeyEntry> entries;
    const bool sql2000 = catalog.IsSql2000();
    for (std::size_t i : catalog.ObjectsWithParent(tableId)) {
        const ObjectRow& row = catalog.objects[i];
        KeyEntry entry;
        entry.isPrimaryKey = row.typeCode == "PK";
        entry.isForeignKey = row.typeCode == "F ";
        entry.isUnique = row.typeCode == "UQ";
        entry.name = row.name;
        entry.id = sql2000 ? row.parentId : row.id;
        entry.typeCode = row.typeCode;
        entries.push_back(std::move(entry));
    }
    return entries;
}

void CollectIndexColumns(const CCatalog& catalog, std::int32_t tableId, std::vector<IndexRow>& tableIndexes,
                         std::vector<IndexColumnRow>& result) {
    tableIndexes.clear();
    result.clear();
    for (std::size_t i : catalog.IndexesOfObject(tableId)) {
        const IndexRow& index = catalog.indexes[i];
        if ((index.status & kIndexIsIndex) != 0 && index.indexId > 0) tableIndexes.push_back(index);
    }
    const CCatalog::Positions& candidates = catalog.IndexColumnsOfObject(tableId);
    for (const IndexRow& index : tableIndexes) {
        for (std::size_t i : candidates) {
            const IndexColumnRow& candidate = catalog.indexColumns[i];
            if (candidate.minorId != index.indexId) continue;
            IndexColumnRow copy = candidate;
            copy.indexStatus = index.status;
            result.push_back(copy);
        }
    }
}

void SetColumnFlags(std::vector<ColumnDescriptor>& descriptors, const std::vector<IndexColumnRow>& indexColumns,
                    const CCatalog& catalog, std::int32_t tableId) {
    for (ColumnDescriptor& d : descriptors) {
        for (const IndexColumnRow& row : indexColumns) {
            if (row.intProperty != d.columnId) continue;
            const std::int32_t status = row.indexStatus & 0xFF;
            if (status & kIndexIsPrimaryKey) d.isPrimaryKey = 1;
            if (status & kIndexIsUnique) d.isUnique = 1;
            if (status & kIndexIsUniqueConstraint) {
                d.isUniqueConstraint = 1;
                d.keyOrder = row.tinyProperty1;
            }
        }
    }
    if (descriptors.empty()) return;
    for (std::size_t i : catalog.ForeignKeysOfTable(tableId)) {
        const ForeignKeyColumn& fk = catalog.foreignKeyColumns[i];
        if (fk.referencedTableName.empty() || fk.referencedColumnName.empty()) continue;
        for (ColumnDescriptor& d : descriptors) {
            if (d.columnId != fk.parentColumnId) continue;
            d.isForeignKey = 1;
            d.refTable = fk.referencedTableName;
            d.refColumn = fk.referencedColumnName;
        }
    }
}

// Foreign key columns are stored as pairs of single-object references of the
// constraint: class 28 from the constraint's column ordinal to the parent
// table's column, class 29 from the same ordinal to the referenced column.
void CCatalog::PairForeignKeys() {
    foreignKeyColumns.clear();
    // Class 29 rows by (constraint id, ordinal), in list order.
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> referenced;
    const auto key = [](std::int32_t id, std::int32_t sub) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(id)) << 32) | static_cast<std::uint32_t>(sub);
    };
    for (std::size_t i = 0; i < objectRefs.size(); ++i)
        if (objectRefs[i].refClass == 29) referenced[key(objectRefs[i].dependentId, objectRefs[i].dependentSubId)].push_back(i);

    for (const ObjectRefRow& x : objectRefs) {
        if (x.refClass != 28) continue;
        const auto partners = referenced.find(key(x.dependentId, x.dependentSubId));
        if (partners == referenced.end()) continue;
        for (std::size_t j : partners->second) {
            const ObjectRefRow& y = objectRefs[j];
            ForeignKeyColumn fk;
            fk.constraintId = x.dependentId;
            fk.ordinal = x.dependentSubId;
            fk.parentTableId = x.independentId;
            fk.parentColumnId = x.independentSubId;
            fk.referencedTableId = y.independentId;
            fk.referencedColumnId = y.independentSubId;
            foreignKeyColumns.push_back(std::move(fk));
        }
    }

    // Names: a later object or column row with the same ids overwrites an earlier one.
    std::unordered_map<std::uint64_t, std::size_t> lastColumn;
    for (std::size_t i = 0; i < columns.size(); ++i) lastColumn[key(columns[i].objectId, columns[i].columnId)] = i;
    for (ForeignKeyColumn& fk : foreignKeyColumns) {
        if (const ObjectRow* row = LastObjectWithId(fk.parentTableId)) fk.parentTableName = row->name;
        if (const ObjectRow* row = LastObjectWithId(fk.referencedTableId)) fk.referencedTableName = row->name;
        if (const ObjectRow* row = LastObjectWithId(fk.constraintId)) {
            fk.constraintName = row->name;
            fk.constraintStatus = row->status;
        }
        const auto parent = lastColumn.find(key(fk.parentTableId, fk.parentColumnId));
        if (parent != lastColumn.end()) fk.parentColumnName = columns[parent->second].name;
        const auto target = lastColumn.find(key(fk.referencedTableId, fk.referencedColumnId));
        if (target != lastColumn.end()) fk.referencedColumnName = columns[target->second].name;
    }
}

std::vector<std::string> KeyColumnNames(const CCatalog& catalog, const ObjectRow& constraint) {
    const std::int32_t tableId = constraint.parentId;
    const bool primary = constraint.typeCode == "PK";
    const std::int32_t wantedBit = primary ? kIndexIsPrimaryKey : kIndexIsUniqueConstraint;

    // The index that enforces the constraint: the one whose id the constraint
    // row keeps (its int property), else the one named after it, else (for a
    // primary key) the table's primary key index.
    const IndexRow* index = nullptr;
    const CCatalog::Positions& tableIndexes = catalog.IndexesOfObject(tableId);
    for (std::size_t i : tableIndexes) {
        const IndexRow& row = catalog.indexes[i];
        if (row.indexId == constraint.intProperty && row.indexId > 0 && (row.status & wantedBit)) {
            index = &row;
            break;
        }
    }
    if (!index) {
        for (std::size_t i : tableIndexes)
            if (catalog.indexes[i].name == constraint.name && catalog.indexes[i].indexId > 0) {
                index = &catalog.indexes[i];
                break;
            }
    }
    if (!index && primary) {
        for (std::size_t i : tableIndexes)
            if ((catalog.indexes[i].status & kIndexIsPrimaryKey) && catalog.indexes[i].indexId > 0) {
                index = &catalog.indexes[i];
                break;
            }
    }
    if (!index) return {};

    // Key columns have an ordinal from 1 (included columns have 0).
    std::vector<const IndexColumnRow*> keyColumns;
    for (std::size_t i : catalog.IndexColumnsOfObject(tableId)) {
        const IndexColumnRow& row = catalog.indexColumns[i];
        if (row.minorId == index->indexId && row.tinyProperty1 > 0 && row.tinyProperty1 != 255)
            keyColumns.push_back(&row);
    }
    std::stable_sort(keyColumns.begin(), keyColumns.end(),
                     [](const IndexColumnRow* a, const IndexColumnRow* b) { return a->tinyProperty1 < b->tinyProperty1; });

    std::vector<std::string> names;
    const CCatalog::Positions& tableColumns = catalog.ColumnsOfObject(tableId);
    for (const IndexColumnRow* keyColumn : keyColumns) {
        for (std::size_t i : tableColumns) {
            const ColumnRow& column = catalog.columns[i];
            if (column.objectId == tableId && column.number == 0 && column.columnId == keyColumn->intProperty) {
                names.push_back(column.name);
                break;
            }
        }
    }
    return names;
}

}  // namespace pw
