#pragma once
// Builds the system base tables of a database for catalog tests: records of
// each system table with the fields the catalog reads, and primary data files
// whose pages hold them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "forge/DataFileBuilder.h"
#include "forge/PageBuilder.h"

namespace forge {

// A fixed part written field by field; it grows to hold every field put.
class Fixed {
public:
    explicit Fixed(std::size_t size = 0) : bytes_(size, 0) {}
    Fixed& Put(std::size_t offset, std::uint64_t value, std::size_t width) {
        PutLE(bytes_, offset, value, width);
        return *this;
    }
    Fixed& Chars(std::size_t offset, const std::string& text);
    // Cuts or zero-pads the fixed part to `size` bytes.
    Fixed& Resize(std::size_t size) {
        bytes_.resize(size, 0);
        return *this;
    }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

// UTF-8 text as UTF-16LE bytes.
Bytes Utf16(const std::string& text);

// A plain record: status byte A from the record type (null bitmap present,
// variable columns when there are any), the fixed part, the column count
// (`columnCount`, or the variable columns plus one), a zeroed null bitmap and
// the variable columns.
Bytes PlainRecord(const Bytes& fixed, const std::vector<Bytes>& vars = {}, int recordType = 0,
                  std::uint16_t columnCount = 0);

// ---- SQL Server 2005 and later ----------------------------------------------
// sysschobjs (34): 40-byte fixed part.
Bytes SchObjRecord(std::int32_t id, const std::string& name, const std::string& typeCode, std::int32_t parentId = 0,
                   std::int32_t status = 0, std::int32_t intProperty = 0);
// An object row with no name column at all.
Bytes SchObjRecordWithoutName(std::int32_t id, const std::string& typeCode, std::int32_t parentId = 0);

struct ColParSpec {
    std::int32_t objectId = 0;
    std::int32_t columnId = 0;
    std::uint8_t systemType = 56;
    std::int32_t userType = 56;
    std::int16_t length = 4;
    std::int32_t status = 0;
    std::string name;
    std::optional<Bytes> identity;  // var 1
    std::int16_t number = 0;
    std::uint8_t precision = 10;
    std::uint8_t scale = 0;
    std::int32_t collationId = 0;
};
// syscolpars (41): 41-byte fixed part, name in var 0, identity value in var 1.
Bytes ColParRecord(const ColParSpec& shape);
// A column of `objectId`; the type defaults to int.
inline ColParSpec Col(std::int32_t objectId, std::int32_t columnId, const std::string& name,
                      std::uint8_t systemType = 56, std::int32_t userType = 56, std::int16_t length = 4) {
    ColParSpec shape;
    shape.objectId = objectId;
    shape.columnId = columnId;
    shape.name = name;
    shape.systemType = systemType;
    shape.userType = userType;
    shape.length = length;
    return shape;
}
inline Bytes ColParRecord(std::int32_t objectId, std::int32_t columnId, const std::string& name,
                          std::uint8_t systemType = 56, std::int32_t userType = 56, std::int16_t length = 4) {
    return ColParRecord(Col(objectId, columnId, name, systemType, userType, length));
}
// sysscalartypes (50): 36-byte fixed part.
Bytes ScalarTypeRecord(std::int32_t typeId, std::uint8_t systemType, std::int16_t length, const std::string& name,
                       std::int32_t schemaId = 4);
// sysrowsets (5): 35-byte fixed part.
Bytes RowsetRecord(std::int64_t rowsetId, std::int32_t objectId, std::int32_t indexId);
// sysallocunits (7): 41-byte fixed part; pages given as (page, file).
Bytes AllocUnitRecord(std::int64_t allocUnitId, std::uint8_t type, std::int64_t ownerId,
                      std::uint32_t firstPage = 0, std::uint16_t firstFile = 0);
// sysrscols (3): 50-byte fixed part.
Bytes RsColRecord(std::int64_t rowsetId, std::int32_t rowsetColumnId, std::int32_t hobtColumnId, std::int32_t offset,
                  std::int32_t nullBit);
// sysidxstats (54): 35-byte fixed part, name in var 0.
Bytes IdxStatRecord(std::int32_t objectId, std::int32_t indexId, std::int32_t status, const std::string& name);
// sysiscols (55): 22-byte fixed part.
Bytes IsColRecord(std::int32_t objectId, std::int32_t indexId, std::int32_t subId, std::int32_t columnId,
                  std::uint8_t keyOrdinal);
// syssingleobjrefs (74): 21-byte fixed part.
Bytes ObjRefRecord(std::uint8_t refClass, std::int32_t dependentId, std::int32_t dependentSubId,
                   std::int32_t independentId, std::int32_t independentSubId);
// sysfiles1 (8): 782-byte fixed part.
Bytes SysFilesRecord(std::int16_t fileId, const std::string& logicalName, const std::string& physicalName);
// Object 13 (heap/B-tree columns of SQL Server 2005): 35-byte fixed part.
Bytes HobtColumnRecord(std::int64_t hobtId, std::int32_t columnId, std::int16_t leafOffset, std::int16_t nullBit);
// Object 4 (rowset columns of SQL Server 2005): 16-byte fixed part.
Bytes RowsetColumn2005Record(std::int64_t rowsetId, std::int32_t rowsetColumnId, std::int32_t hobtColumnId);

// ---- SQL Server 2000 ----------------------------------------------------------
// sysobjects (1): 28-byte fixed part; type at 4, parent at 24.
Bytes SysObjects2000Record(std::int32_t id, const std::string& name, const std::string& typeCode,
                           std::int32_t parentId = 0);
// sysindexes (2): 68-byte fixed part.
Bytes SysIndexes2000Record(std::int32_t objectId, std::int32_t firstPage, std::int16_t indexId,
                           std::int32_t firstIamPage = 0);
struct SysColumns2000Spec {
    std::int32_t objectId = 0;
    std::int16_t columnId = 0;
    std::uint8_t systemType = 56;
    std::int16_t userType = 56;
    std::int16_t length = 4;
    std::uint8_t typeStatus = 0;
    std::int16_t columnOrder = 0;
    std::int16_t xoffset = 0;
    std::int16_t leafOffset = 0;
    std::string name;
};
// syscolumns (3): 43-byte fixed part, 24 columns.
Bytes SysColumns2000Record(const SysColumns2000Spec& shape);
inline SysColumns2000Spec Col2000(std::int32_t objectId, std::int16_t columnId, const std::string& name,
                                  std::uint8_t typeStatus = 0) {
    SysColumns2000Spec shape;
    shape.objectId = objectId;
    shape.columnId = columnId;
    shape.columnOrder = columnId;
    shape.name = name;
    shape.typeStatus = typeStatus;
    return shape;
}

// A primary data file (boot page at 9) with system table pages from position 16 on.
class CatalogFileBuilder {
public:
    explicit CatalogFileBuilder(std::uint32_t pageCount = 96);
    // Puts the records on new data pages of `objectId`, as many as they need.
    CatalogFileBuilder& Table(std::int32_t objectId, const std::vector<Bytes>& records);
    // A page with this image at the next position (its header is kept).
    CatalogFileBuilder& Page(const pw::PageImage& image);
    // `count` data pages filed under `pageKey` (a user table's rows).
    CatalogFileBuilder& DataPages(std::int32_t pageKey, std::uint32_t count);
    std::uint32_t NextPosition() const { return next_; }
    DataFileBuilder& File() { return file_; }

private:
    DataFileBuilder file_;
    std::uint32_t next_ = 16;
};

}  // namespace forge
