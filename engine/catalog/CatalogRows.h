#pragma once
// The catalog rows: one plain structure per system base table row, with the
// defaults a row keeps when its record is too short to fill it.
//
// Offsets are into the record's fixed part (record offset 4 onwards, after
// the two status bytes and the end-of-fixed-part offset). The readers live in
// SystemRowBuilders.cpp; the layout of each table is described there.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pages/PageHeader.h"

namespace pw {

// sysfiles1 (object 8): the database's own file list.
struct FileRow {
    std::int32_t status = 0;
    std::int16_t fileId = 0;
    std::string logicalName;
    std::string physicalName;  // a Windows path as the server stored it
};

// sysschobjs (object 34), or sysobjects (object 1) in the SQL Server 2000 layout.
struct ObjectRow {
    std::int32_t id = -1;
    std::string name;
    std::int32_t schemaId = -1;
    std::uint8_t schemaClass = 255;
    std::int32_t status = -1;
    std::string typeCode;  // two characters as stored, trailing space included ("U ")
    std::int32_t parentId = -1;
    std::uint8_t parentClass = 255;
    std::int32_t intProperty = -1;
};

// sysallocunits (object 7).
struct AllocUnitRow {
    std::int64_t allocUnitId = 0;
    std::uint8_t type = 255;  // 1 in-row data, 2 large-object data, 3 row-overflow data
    std::int64_t ownerId = 0;  // the rowset id
    std::int32_t status = -1;
    std::int16_t filegroupId = 0;
    PagePointer firstPage{0, 0};
    PagePointer rootPage{0, 0};
    PagePointer firstIamPage{0, 0};

    // The object id the pages of this unit carry in their headers: bits 16 to 47 of the id.
    std::int32_t PageKey() const {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>((static_cast<std::uint64_t>(allocUnitId) >> 16) &
                                                                    0xFFFFFFFFu));
    }
};

// sysrowsets (object 5): one row per partition of a heap or index.
struct RowsetRow {
    std::int64_t rowsetId = -1;
    std::uint8_t ownerType = 255;
    std::int32_t majorId = -1;  // object id
    std::int32_t minorId = -1;  // index id
    std::int32_t partitionNumber = -1;
    std::int32_t status = -1;
    std::int16_t filegroupId = -1;
    std::int64_t rowCount = -1;
};

// syscolpars (object 41): one declared column (or parameter) of an object.
struct ColumnRow {
    std::int32_t objectId = -1;
    std::int16_t number = -1;
    std::int32_t columnId = -1;
    std::uint8_t systemTypeId = 255;
    std::int32_t userTypeId = -1;
    std::int16_t length = -1;  // -1 for max types
    std::uint8_t precision = 255;
    std::uint8_t scale = 255;
    std::int32_t collationId = -1;
    std::int32_t status = -1;
    std::int16_t maxInRowLength = -1;
    std::int32_t xmlCollectionId = -1;
    std::int32_t defaultObjectId = -1;
    std::int32_t ruleObjectId = -1;
    std::string name;
    std::string identityText;
};

// sysscalartypes (object 50).
struct TypeRow {
    std::int32_t typeId = -1;
    std::int32_t schemaId = -1;
    std::uint8_t systemTypeId = 255;
    std::int16_t length = -1;
    std::uint8_t precision = 255;
    std::uint8_t scale = 255;
    std::int32_t collationId = -1;
    std::int32_t status = -1;
    std::string name;
};

// sysrscols (object 3): where a column of a rowset lies in the record.
struct RowsetColumnRow {
    std::int64_t rowsetId = -1;
    std::int32_t rowsetColumnId = -1;
    std::int32_t hobtColumnId = -1;
    std::int64_t modificationCounter = -1;
    std::int32_t typeInfo = -1;
    std::int32_t columnId = -1;
    std::int16_t orderKey = -1;
    std::int16_t maxInRowLength = -1;
    std::int32_t status = -1;
    std::int32_t offset = -1;  // low 16 bits: leaf offset of the column in a data record
    std::int32_t nullBit = -1;
    std::int16_t bitPosition = -1;
};

// syssingleobjrefs (object 74).
struct ObjectRefRow {
    std::uint8_t refClass = 255;  // 28: foreign key column to parent, 29: to referenced column
    std::int32_t dependentId = -1;
    std::int32_t dependentSubId = -1;
    std::int32_t independentId = -1;
    std::int32_t independentSubId = -1;
    std::int32_t status = -1;
};

// sysidxstats (object 54): one heap or index of an object.
struct IndexRow {
    std::int32_t objectId = -1;
    std::int32_t indexId = -1;
    std::int32_t status = -1;  // 0x01 index, 0x08 unique, 0x20 primary key, 0x40 unique constraint
    std::int32_t intProperty = -1;
    std::uint8_t fillFactor = 255;
    std::uint8_t type = 255;
    std::uint8_t tinyProperty = 255;
    std::int32_t dataSpaceId = -1;
    std::int32_t lobDataSpaceId = -1;
    std::int64_t rowsetId = -1;
    std::string name;
};

// sysiscols (object 55): one column of an index.
struct IndexColumnRow {
    std::int32_t majorId = -1;  // object id
    std::int32_t minorId = -1;  // index id
    std::int32_t subId = -1;
    std::int32_t status = -1;
    std::int32_t intProperty = -1;  // the column id
    std::uint8_t tinyProperty1 = 255;  // key ordinal (0 for included columns)
    std::uint8_t tinyProperty2 = 255;
    std::int32_t indexStatus = -1;  // copied from the index when a table is opened
};

// Object 13 of SQL Server 2005: heap/B-tree columns.
struct HobtColumnRow {
    std::int64_t hobtId = 0;
    std::int32_t columnId = -1;
    std::int16_t leafOffset = -1;  // smallint at offset 27
    std::int16_t nullBit = -1;     // smallint at offset 33
    std::int32_t physicalColumn = -1;  // set when a table is opened
};

// Object 4 of SQL Server 2005: rowset columns.
struct RowsetColumn2005Row {
    std::int64_t rowsetId = -1;
    std::int32_t rowsetColumnId = -1;
    std::int32_t hobtColumnId = -1;
};

// syscolumns (object 3) of the SQL Server 2000 layout.
struct Column2000Row {
    std::int32_t objectId = -1;
    std::uint8_t systemTypeId = 255;
    std::uint8_t typeStatus = 255;  // the key flag of the scripts
    std::int16_t userTypeId = -1;
    std::int16_t length = -1;
    std::uint8_t precision = 255;
    std::uint8_t scale = 255;
    std::int16_t columnId = -1;
    std::int16_t xoffset = -1;
    std::uint8_t bitPosition = 255;
    std::uint8_t reserved = 255;
    std::int16_t columnStatus = -1;
    std::int16_t defaultId = -1;
    std::int32_t domain = -1;
    std::int16_t number = -1;
    std::int16_t columnOrder = -1;
    std::int16_t leafOffset = -1;
    std::int32_t collationId = -1;
    std::uint8_t status = 255;
    std::string name;
};

// sysindexes (object 2) of the SQL Server 2000 layout: the clustered index of a table.
struct Index2000Entry {
    std::int32_t objectId = -1;
    std::int32_t firstPage = 0;
    std::int16_t indexId = -1;
    std::int32_t firstIamPage = 0;
    std::uint16_t fileId = 0;  // the file of the page the row was read from
};
using Index2000Map = std::map<std::int32_t, Index2000Entry>;

// A table of the SQL Server 2000 layout with the columns attached to it.
struct Table2000Column {
    std::string name;
    std::int16_t columnOrder = -1;
    std::uint8_t keyFlag = 255;
};
struct Table2000 {
    std::int32_t id = -1;
    std::string name;
    std::vector<Table2000Column> columns;
};

// One key or constraint object of a table.
struct KeyEntry {
    bool isPrimaryKey = false;
    bool isForeignKey = false;
    bool isUnique = false;
    std::string name;
    std::int32_t id = -1;  // the child object's id; the table id in the SQL Server 2000 layout
    std::string typeCode;
};

// One column pair of a foreign key.
struct ForeignKeyColumn {
    std::int32_t constraintId = -1;
    std::int32_t ordinal = -1;
    std::int32_t parentTableId = -1;
    std::int32_t parentColumnId = -1;
    std::int32_t referencedTableId = -1;
    std::int32_t referencedColumnId = -1;
    std::string constraintName;
    std::string parentTableName;
    std::string parentColumnName;
    std::string referencedTableName;
    std::string referencedColumnName;
    std::int32_t constraintStatus = -1;
};

// One row of a definition table reduced to three rendered texts.
struct ModuleValue {
    std::string objectId;
    std::string subId;
    std::string value;
};

}  // namespace pw
