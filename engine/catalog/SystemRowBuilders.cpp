#include "catalog/SystemRowBuilders.h"

#include <array>

#include "catalog/CatalogNaming.h"
#include "pages/Record.h"
#include "support/Utf.h"

namespace pw {

namespace {

// A field read whole from the fixed part, or `fallback` when it does not fit.
template <typename T>
T Field(const ByteView& fixed, std::size_t offset, T fallback) {
    return fixed.Has(offset, sizeof(T)) ? fixed.Read<T>(offset) : fallback;
}

PagePointer PointerField(const ByteView& fixed, std::size_t offset, PagePointer fallback) {
    if (!fixed.Has(offset, 6)) return fallback;
    return PagePointer{fixed.U32(offset), fixed.U16(offset + 4)};
}

// Every reader passes over blob fragments.
bool Skipped(const SystemRecord& record) { return record.recordType == kBlobFragmentType; }
bool SkippedWithIndexRecords(const SystemRecord& record) {
    return record.recordType == kBlobFragmentType || record.recordType == kIndexRecordType;
}

// The two single-byte characters of an object's type code ("U ", "FN"); a NUL ends the text.
std::string TypeCodeAt(const ByteView& fixed, std::size_t offset) {
    std::string code;
    for (std::size_t i = 0; i < 2; ++i) {
        if (!fixed.Has(offset + i, 1)) break;
        const std::uint8_t c = fixed.U8(offset + i);
        if (c == 0) break;
        AppendUtf8(code, c);
    }
    return code;
}

// A name field of sysfiles1: copied into a zeroed 524-byte buffer (only the
// bytes inside the fixed part), read as UTF-16 up to the first NUL and
// stripped of trailing white space.
std::string FileNameField(const ByteView& fixed, std::size_t offset, std::size_t width) {
    std::array<std::uint8_t, 524> buffer{};
    fixed.CopyTo(offset, width < buffer.size() ? width : buffer.size(), buffer.data());
    std::string name = Utf16Name(ByteView(buffer.data(), buffer.size()));
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t' || name.back() == '\r' ||
                             name.back() == '\n' || name.back() == '\v' || name.back() == '\f'))
        name.pop_back();
    return name;
}

}  // namespace

// sysfiles1 (object 8), fixed part of at least 520 bytes:
//   0 int status; 4 smallint file id; 6 logical name (256 bytes, UTF-16);
//   262 physical file name (520 bytes, UTF-16)
std::optional<FileRow> MakeFileRow(const SystemRecord& record) {
    if (Skipped(record)) return std::nullopt;
    FileRow row;
    const ByteView& f = record.fixed;
    if (record.FixedLength() >= 520) {
        row.status = Field<std::int32_t>(f, 0, 0);
        row.fileId = Field<std::int16_t>(f, 4, 0);
        row.logicalName = FileNameField(f, 6, 256);
        row.physicalName = FileNameField(f, 262, 520);
    }
    return row;
}

// sysschobjs (object 34), taken only when the fixed part holds at least 20
// bytes and the id is above 0:
//   0 int id; 4 int schema id; 8 tinyint schema class; 9 int status;
//   13 char[2] type code; 15 int parent id; 19 tinyint parent class;
//   20 int int property; var 0 the name.
// sysobjects (object 1, SQL Server 2000) is read with the same offsets except
// the type code (offset 4) and the parent id (offset 24 when the fixed part
// reaches it, else offset 15).
std::optional<ObjectRow> MakeObjectRow(const SystemRecord& record, ObjectLayout layout, std::uint64_t& nameCounter) {
    if (Skipped(record)) return std::nullopt;
    const ByteView& f = record.fixed;
    if (record.FixedLength() < 20) return std::nullopt;
    ObjectRow row;
    row.id = Field<std::int32_t>(f, 0, -1);
    if (row.id <= 0) return std::nullopt;
    row.name = NameOrRepair(record, kRepairObjectPrefix, nameCounter);
    row.schemaId = Field<std::int32_t>(f, 4, -1);
    row.schemaClass = Field<std::uint8_t>(f, 8, 255);
    row.status = Field<std::int32_t>(f, 9, -1);
    row.parentClass = Field<std::uint8_t>(f, 19, 255);
    row.intProperty = Field<std::int32_t>(f, 20, -1);
    if (layout == ObjectLayout::kSql2000) {
        row.typeCode = TypeCodeAt(f, 4);
        row.parentId = record.FixedLength() >= 24 ? Field<std::int32_t>(f, 24, -1) : Field<std::int32_t>(f, 15, -1);
    } else {
        row.typeCode = TypeCodeAt(f, 13);
        row.parentId = Field<std::int32_t>(f, 15, -1);
    }
    return row;
}

// sysallocunits (object 7), filled from 39 bytes:
//   0 bigint allocation unit id; 8 tinyint type; 9 bigint owner id (rowset);
//   17 int status; 21 smallint filegroup; 23 first page; 29 root page;
//   35 first IAM page (page pointers: 4-byte page number, 2-byte file id)
std::optional<AllocUnitRow> MakeAllocUnitRow(const SystemRecord& record) {
    if (Skipped(record)) return std::nullopt;
    AllocUnitRow row;
    const ByteView& f = record.fixed;
    if (record.FixedLength() >= 39) {
        row.allocUnitId = Field<std::int64_t>(f, 0, 0);
        row.type = Field<std::uint8_t>(f, 8, 255);
        row.ownerId = Field<std::int64_t>(f, 9, 0);
        row.status = Field<std::int32_t>(f, 17, -1);
        row.filegroupId = Field<std::int16_t>(f, 21, 0);
        row.firstPage = PointerField(f, 23, row.firstPage);
        row.rootPage = PointerField(f, 29, row.rootPage);
        row.firstIamPage = PointerField(f, 35, row.firstIamPage);
    }
    return row;
}

// sysrowsets (object 5), filled from 27 bytes:
//   0 bigint rowset id; 8 tinyint owner type; 9 int object id; 13 int index id;
//   17 int partition number; 21 int status; 25 smallint filegroup; 27 bigint row count
std::optional<RowsetRow> MakeRowsetRow(const SystemRecord& record) {
    if (Skipped(record)) return std::nullopt;
    RowsetRow row;
    const ByteView& f = record.fixed;
    if (record.FixedLength() >= 27) {
        row.rowsetId = Field<std::int64_t>(f, 0, -1);
        row.ownerType = Field<std::uint8_t>(f, 8, 255);
        row.majorId = Field<std::int32_t>(f, 9, -1);
        row.minorId = Field<std::int32_t>(f, 13, -1);
        row.partitionNumber = Field<std::int32_t>(f, 17, -1);
        row.status = Field<std::int32_t>(f, 21, -1);
        row.filegroupId = Field<std::int16_t>(f, 25, -1);
        row.rowCount = Field<std::int64_t>(f, 27, -1);
    }
    return row;
}

// syscolpars (object 41), filled from 37 bytes; index records are skipped:
//   0 int object id; 4 smallint number; 6 int column id; 10 tinyint system type;
//   11 int user type; 15 smallint length; 17 tinyint precision; 18 tinyint scale;
//   19 int collation; 23 int status; 27 smallint max in-row length;
//   29 int xml collection; 33 int default object; 37 int rule object;
//   var 0 the name; var 1 the identity seed and increment (status 5 only)
std::optional<ColumnRow> MakeColumnRow(const SystemRecord& record, std::uint64_t& nameCounter) {
    if (SkippedWithIndexRecords(record)) return std::nullopt;
    ColumnRow row;
    const ByteView& f = record.fixed;
    if (record.FixedLength() >= 37) {
        row.objectId = Field<std::int32_t>(f, 0, -1);
        row.number = Field<std::int16_t>(f, 4, -1);
        row.columnId = Field<std::int32_t>(f, 6, -1);
        row.systemTypeId = Field<std::uint8_t>(f, 10, 255);
        row.userTypeId = Field<std::int32_t>(f, 11, -1);
        row.length = Field<std::int16_t>(f, 15, -1);
        row.precision = Field<std::uint8_t>(f, 17, 255);
        row.scale = Field<std::uint8_t>(f, 18, 255);
        row.collationId = Field<std::int32_t>(f, 19, -1);
        row.status = Field<std::int32_t>(f, 23, -1);
        row.maxInRowLength = Field<std::int16_t>(f, 27, -1);
        row.xmlCollectionId = Field<std::int32_t>(f, 29, -1);
        row.defaultObjectId = Field<std::int32_t>(f, 33, -1);
        row.ruleObjectId = Field<std::int32_t>(f, 37, -1);
        row.name = NameOrRepair(record, kRepairColumnPrefix, nameCounter);
        if (row.status == 5 && record.vars.size() >= 2) row.identityText = IdentityText(record.Var(1));
    }
    return row;
}

// sysscalartypes (object 50), filled from 34 bytes, dropped without a fixed part:
//   0 int type id; 4 int schema id; 8 tinyint system type; 9 smallint length;
//   11 tinyint precision; 12 tinyint scale; 13 int collation; 17 int status;
//   var 0 the name (no repair name)
std::optional<TypeRow> MakeTypeRow(const SystemRecord& record) {
    if (Skipped(record) || !record.HasFixedData()) return std::nullopt;
    TypeRow row;
    const ByteView& f = record.fixed;
    if (record.FixedLength() >= 34) {
        row.typeId = Field<std::int32_t>(f, 0, -1);
        row.schemaId = Field<std::int32_t>(f, 4, -1);
        row.systemTypeId = Field<std::uint8_t>(f, 8, 255);
        row.length = Field<std::int16_t>(f, 9, -1);
        row.precision = Field<std::uint8_t>(f, 11, 255);
        row.scale = Field<std::uint8_t>(f, 12, 255);
        row.collationId = Field<std::int32_t>(f, 13, -1);
        row.status = Field<std::int32_t>(f, 17, -1);
        row.name = Utf16Name(record.Var(0));
    }
    return row;
}

// sysrscols (object 3), filled from 48 bytes:
//   0 bigint rowset id; 8 int rowset column id; 12 int heap/B-tree column id;
//   16 bigint modification counter; 24 int type info; 28 int column id;
//   32 smallint order key; 34 smallint max in-row length; 36 int status;
//   40 int offset (low 16 bits: leaf offset); 44 int null bit; 48 smallint bit position
std::optional<RowsetColumnRow> MakeRowsetColumnRow(const SystemRecord& record) {
    if (Skipped(record)) return std::nullopt;
    RowsetColumnRow row;
    const ByteView& f = record.fixed;
    if (record.FixedLength() >= 48) {
        row.rowsetId = Field<std::int64_t>(f, 0, -1);
        row.rowsetColumnId = Field<std::int32_t>(f, 8, -1);
        row.hobtColumnId = Field<std::int32_t>(f, 12, -1);
        row.modificationCounter = Field<std::int64_t>(f, 16, -1);
        row.typeInfo = Field<std::int32_t>(f, 24, -1);
        row.columnId = Field<std::int32_t>(f, 28, -1);
        row.orderKey = Field<std::int16_t>(f, 32, -1);
        row.maxInRowLength = Field<std::int16_t>(f, 34, -1);
        row.status = Field<std::int32_t>(f, 36, -1);
        row.offset = Field<std::int32_t>(f, 40, -1);
        row.nullBit = Field<std::int32_t>(f, 44, -1);
        row.bitPosition = Field<std::int16_t>(f, 48, -1);
    }
    return row;
}

// syssingleobjrefs (object 74), taken when the record has a fixed part:
//   0 tinyint class; 1 int dependent id; 5 int dependent sub-id;
//   9 int independent id; 13 int independent sub-id; 17 int status
std::optional<ObjectRefRow> MakeObjectRefRow(const SystemRecord& record) {
    if (Skipped(record) || !record.HasFixedData()) return std::nullopt;
    ObjectRefRow row;
    const ByteView& f = record.fixed;
    row.refClass = Field<std::uint8_t>(f, 0, 255);
    row.dependentId = Field<std::int32_t>(f, 1, -1);
    row.dependentSubId = Field<std::int32_t>(f, 5, -1);
    row.independentId = Field<std::int32_t>(f, 9, -1);
    row.independentSubId = Field<std::int32_t>(f, 13, -1);
    row.status = Field<std::int32_t>(f, 17, -1);
    return row;
}

// sysidxstats (object 54), filled from 27 bytes, dropped without a fixed part:
//   0 int object id; 4 int index id; 8 int status; 12 int int property;
//   16 tinyint fill factor; 17 tinyint type; 18 tinyint tiny property;
//   19 int data space; 23 int large-object data space; 27 bigint rowset id;
//   var 0 the name when present
std::optional<IndexRow> MakeIndexRow(const SystemRecord& record) {
    if (Skipped(record) || !record.HasFixedData()) return std::nullopt;
    IndexRow row;
    const ByteView& f = record.fixed;
    if (record.FixedLength() >= 27) {
        row.objectId = Field<std::int32_t>(f, 0, -1);
        row.indexId = Field<std::int32_t>(f, 4, -1);
        row.status = Field<std::int32_t>(f, 8, -1);
        row.intProperty = Field<std::int32_t>(f, 12, -1);
        row.fillFactor = Field<std::uint8_t>(f, 16, 255);
        row.type = Field<std::uint8_t>(f, 17, 255);
        row.tinyProperty = Field<std::uint8_t>(f, 18, 255);
        row.dataSpaceId = Field<std::int32_t>(f, 19, -1);
        row.lobDataSpaceId = Field<std::int32_t>(f, 23, -1);
        row.rowsetId = Field<std::int64_t>(f, 27, -1);
        row.name = Utf16Name(record.Var(0));
    }
    return row;
}

// sysiscols (object 55), filled from 21 bytes:
//   0 int object id; 4 int index id; 8 int sub-id; 12 int status;
//   16 int column id; 20 tinyint key ordinal; 21 tinyint second property
std::optional<IndexColumnRow> MakeIndexColumnRow(const SystemRecord& record) {
    if (Skipped(record)) return std::nullopt;
    IndexColumnRow row;
    const ByteView& f = record.fixed;
    if (record.FixedLength() >= 21) {
        row.majorId = Field<std::int32_t>(f, 0, -1);
        row.minorId = Field<std::int32_t>(f, 4, -1);
        row.subId = Field<std::int32_t>(f, 8, -1);
        row.status = Field<std::int32_t>(f, 12, -1);
        row.intProperty = Field<std::int32_t>(f, 16, -1);
        row.tinyProperty1 = Field<std::uint8_t>(f, 20, 255);
        row.tinyProperty2 = Field<std::uint8_t>(f, 21, 255);
    }
    return row;
}

// Object 13 of SQL Server 2005 (heap/B-tree columns), filled when there is a fixed part:
//   0 bigint heap/B-tree id; 8 int column id; 27 smallint leaf offset; 33 smallint null bit
std::optional<HobtColumnRow> MakeHobtColumnRow(const SystemRecord& record) {
    if (Skipped(record)) return std::nullopt;
    HobtColumnRow row;
    const ByteView& f = record.fixed;
    if (record.HasFixedData()) {
        row.hobtId = Field<std::int64_t>(f, 0, 0);
        row.columnId = Field<std::int32_t>(f, 8, -1);
        row.leafOffset = Field<std::int16_t>(f, 27, -1);
        row.nullBit = Field<std::int16_t>(f, 33, -1);
    }
    return row;
}

// Object 4 of SQL Server 2005 (rowset columns), filled when there is a fixed part:
//   0 bigint rowset id; 8 int rowset column id; 12 int heap/B-tree column id
std::optional<RowsetColumn2005Row> MakeRowsetColumn2005Row(const SystemRecord& record) {
    if (Skipped(record)) return std::nullopt;
    RowsetColumn2005Row row;
    const ByteView& f = record.fixed;
    if (record.HasFixedData()) {
        row.rowsetId = Field<std::int64_t>(f, 0, -1);
        row.rowsetColumnId = Field<std::int32_t>(f, 8, -1);
        row.hobtColumnId = Field<std::int32_t>(f, 12, -1);
    }
    return row;
}

// syscolumns (object 3, SQL Server 2000); index records are skipped:
//   0 int object id; 4 tinyint system type; 5 tinyint type status (key flag);
//   6 smallint user type; 8 smallint length; 10 tinyint precision; 11 tinyint scale;
//   12 smallint column id; 14 smallint stored offset; 16 tinyint bit position;
//   17 tinyint reserved; 18 smallint column status; 20 smallint default id;
//   24 int domain; 28 smallint number; 30 smallint column order; 32 smallint leaf offset;
//   with more than 20 columns in the record: 34 int collation, 42 tinyint status;
//   var 0 the name
std::optional<Column2000Row> MakeColumn2000Row(const SystemRecord& record, std::uint64_t& nameCounter) {
    if (SkippedWithIndexRecords(record)) return std::nullopt;
    Column2000Row row;
    const ByteView& f = record.fixed;
    if (!record.HasFixedData()) return row;
    row.objectId = Field<std::int32_t>(f, 0, -1);
    row.systemTypeId = Field<std::uint8_t>(f, 4, 255);
    row.typeStatus = Field<std::uint8_t>(f, 5, 255);
    row.userTypeId = Field<std::int16_t>(f, 6, -1);
    row.length = Field<std::int16_t>(f, 8, -1);
    row.precision = Field<std::uint8_t>(f, 10, 255);
    row.scale = Field<std::uint8_t>(f, 11, 255);
    row.columnId = Field<std::int16_t>(f, 12, -1);
    row.xoffset = Field<std::int16_t>(f, 14, -1);
    row.bitPosition = Field<std::uint8_t>(f, 16, 255);
    row.reserved = Field<std::uint8_t>(f, 17, 255);
    row.columnStatus = Field<std::int16_t>(f, 18, -1);
    row.defaultId = Field<std::int16_t>(f, 20, -1);
    row.domain = Field<std::int32_t>(f, 24, -1);
    row.number = Field<std::int16_t>(f, 28, -1);
    row.columnOrder = Field<std::int16_t>(f, 30, -1);
    row.leafOffset = Field<std::int16_t>(f, 32, -1);
    if (record.columnCount > 20) {
        if (record.FixedLength() >= 38) row.collationId = Field<std::int32_t>(f, 34, -1);
        if (record.FixedLength() >= 43) row.status = Field<std::uint8_t>(f, 42, 255);
    }
    row.name = NameOrRepair(record, kRepairColumnPrefix, nameCounter);
    return row;
}

// sysindexes (object 2, SQL Server 2000), from 64 bytes; index records are skipped:
//   0 int object id; 8 int first page number; 14 smallint index id; 64 int first IAM page number
std::optional<Index2000Entry> MakeIndex2000Entry(const SystemRecord& record, std::uint16_t fileId) {
    if (SkippedWithIndexRecords(record) || record.FixedLength() < 64) return std::nullopt;
    Index2000Entry entry;
    const ByteView& f = record.fixed;
    entry.objectId = Field<std::int32_t>(f, 0, -1);
    entry.firstPage = Field<std::int32_t>(f, 8, 0);
    entry.indexId = Field<std::int16_t>(f, 14, -1);
    entry.firstIamPage = Field<std::int32_t>(f, 64, 0);
    entry.fileId = fileId;
    return entry;
}

}  // namespace pw
