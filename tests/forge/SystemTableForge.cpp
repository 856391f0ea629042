#include "forge/SystemTableForge.h"

#include "support/Utf.h"

namespace forge {

Fixed& Fixed::Chars(std::size_t offset, const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) Put(offset + i, static_cast<std::uint8_t>(text[i]), 1);
    return *this;
}

Bytes Utf16(const std::string& text) {
    const std::string utf16 = pw::Utf8ToUtf16Le(text);
    return Bytes(utf16.begin(), utf16.end());
}

Bytes PlainRecord(const Bytes& fixed, const std::vector<Bytes>& vars, int recordType, std::uint16_t columnCount) {
    const std::uint16_t columns = columnCount != 0 ? columnCount : static_cast<std::uint16_t>(vars.size() + 1);
    std::uint8_t statusA = static_cast<std::uint8_t>((recordType & 7) << 1) | 0x10;
    if (!vars.empty()) statusA |= 0x20;
    Bytes record{statusA, 0};
    PutLE(record, 2, 4 + fixed.size(), 2);
    record.insert(record.end(), fixed.begin(), fixed.end());
    const std::size_t countAt = record.size();
    PutLE(record, countAt, columns, 2);
    record.resize(record.size() + (columns + 7u) / 8u, 0);
    if (!vars.empty()) {
        const std::size_t varCountAt = record.size();
        PutLE(record, varCountAt, vars.size(), 2);
        const std::size_t offsetsAt = varCountAt + 2;
        std::size_t end = offsetsAt + 2 * vars.size();
        for (std::size_t i = 0; i < vars.size(); ++i) {
            end += vars[i].size();
            PutLE(record, offsetsAt + 2 * i, end, 2);
        }
        for (const Bytes& v : vars) record.insert(record.end(), v.begin(), v.end());
    }
    return record;
}

Bytes SchObjRecord(std::int32_t id, const std::string& name, const std::string& typeCode, std::int32_t parentId,
                   std::int32_t status, std::int32_t intProperty) {
    Fixed f(40);
    f.Put(0, static_cast<std::uint32_t>(id), 4).Put(4, 1, 4).Put(9, static_cast<std::uint32_t>(status), 4);
    f.Chars(13, typeCode).Put(15, static_cast<std::uint32_t>(parentId), 4).Put(20, static_cast<std::uint32_t>(intProperty), 4);
    return PlainRecord(f.bytes(), {Utf16(name)}, 0, 11);
}

Bytes SchObjRecordWithoutName(std::int32_t id, const std::string& typeCode, std::int32_t parentId) {
    Fixed f(40);
    f.Put(0, static_cast<std::uint32_t>(id), 4).Chars(13, typeCode).Put(15, static_cast<std::uint32_t>(parentId), 4);
    return PlainRecord(f.bytes(), {}, 0, 10);
}

Bytes ColParRecord(const ColParSpec& s) {
    Fixed f(41);
    f.Put(0, static_cast<std::uint32_t>(s.objectId), 4)
        .Put(4, static_cast<std::uint16_t>(s.number), 2)
        .Put(6, static_cast<std::uint32_t>(s.columnId), 4)
        .Put(10, s.systemType, 1)
        .Put(11, static_cast<std::uint32_t>(s.userType), 4)
        .Put(15, static_cast<std::uint16_t>(s.length), 2)
        .Put(17, s.precision, 1)
        .Put(18, s.scale, 1)
        .Put(19, static_cast<std::uint32_t>(s.collationId), 4)
        .Put(23, static_cast<std::uint32_t>(s.status), 4);
    std::vector<Bytes> vars{Utf16(s.name)};
    if (s.identity) vars.push_back(*s.identity);
    return PlainRecord(f.bytes(), vars, 0, 16);
}

Bytes ScalarTypeRecord(std::int32_t typeId, std::uint8_t systemType, std::int16_t length, const std::string& name,
                       std::int32_t schemaId) {
    Fixed f(36);
    f.Put(0, static_cast<std::uint32_t>(typeId), 4)
        .Put(4, static_cast<std::uint32_t>(schemaId), 4)
        .Put(8, systemType, 1)
        .Put(9, static_cast<std::uint16_t>(length), 2);
    return PlainRecord(f.bytes(), {Utf16(name)}, 0, 12);
}

Bytes RowsetRecord(std::int64_t rowsetId, std::int32_t objectId, std::int32_t indexId) {
    Fixed f(35);
    f.Put(0, static_cast<std::uint64_t>(rowsetId), 8)
        .Put(8, 1, 1)
        .Put(9, static_cast<std::uint32_t>(objectId), 4)
        .Put(13, static_cast<std::uint32_t>(indexId), 4)
        .Put(17, 1, 4);
    return PlainRecord(f.bytes(), {}, 0, 9);
}

Bytes AllocUnitRecord(std::int64_t allocUnitId, std::uint8_t type, std::int64_t ownerId, std::uint32_t firstPage,
                      std::uint16_t firstFile) {
    Fixed f(41);
    f.Put(0, static_cast<std::uint64_t>(allocUnitId), 8)
        .Put(8, type, 1)
        .Put(9, static_cast<std::uint64_t>(ownerId), 8)
        .Put(23, firstPage, 4)
        .Put(27, firstFile, 2);
    return PlainRecord(f.bytes(), {}, 0, 9);
}

Bytes RsColRecord(std::int64_t rowsetId, std::int32_t rowsetColumnId, std::int32_t hobtColumnId, std::int32_t offset,
                  std::int32_t nullBit) {
    Fixed f(50);
    f.Put(0, static_cast<std::uint64_t>(rowsetId), 8)
        .Put(8, static_cast<std::uint32_t>(rowsetColumnId), 4)
        .Put(12, static_cast<std::uint32_t>(hobtColumnId), 4)
        .Put(40, static_cast<std::uint32_t>(offset), 4)
        .Put(44, static_cast<std::uint32_t>(nullBit), 4);
    return PlainRecord(f.bytes(), {}, 0, 13);
}

Bytes IdxStatRecord(std::int32_t objectId, std::int32_t indexId, std::int32_t status, const std::string& name) {
    Fixed f(35);
    f.Put(0, static_cast<std::uint32_t>(objectId), 4)
        .Put(4, static_cast<std::uint32_t>(indexId), 4)
        .Put(8, static_cast<std::uint32_t>(status), 4);
    return PlainRecord(f.bytes(), {Utf16(name)}, 0, 12);
}

Bytes IsColRecord(std::int32_t objectId, std::int32_t indexId, std::int32_t subId, std::int32_t columnId,
                  std::uint8_t keyOrdinal) {
    Fixed f(22);
    f.Put(0, static_cast<std::uint32_t>(objectId), 4)
        .Put(4, static_cast<std::uint32_t>(indexId), 4)
        .Put(8, static_cast<std::uint32_t>(subId), 4)
        .Put(16, static_cast<std::uint32_t>(columnId), 4)
        .Put(20, keyOrdinal, 1);
    return PlainRecord(f.bytes(), {}, 0, 7);
}

Bytes ObjRefRecord(std::uint8_t refClass, std::int32_t dependentId, std::int32_t dependentSubId,
                   std::int32_t independentId, std::int32_t independentSubId) {
    Fixed f(21);
    f.Put(0, refClass, 1)
        .Put(1, static_cast<std::uint32_t>(dependentId), 4)
        .Put(5, static_cast<std::uint32_t>(dependentSubId), 4)
        .Put(9, static_cast<std::uint32_t>(independentId), 4)
        .Put(13, static_cast<std::uint32_t>(independentSubId), 4);
    return PlainRecord(f.bytes(), {}, 0, 6);
}

Bytes SysFilesRecord(std::int16_t fileId, const std::string& logicalName, const std::string& physicalName) {
    Fixed f(782);
    f.Put(4, static_cast<std::uint16_t>(fileId), 2);
    const Bytes logical = Utf16(logicalName);
    const Bytes physical = Utf16(physicalName);
    for (std::size_t i = 0; i < logical.size() && i < 256; ++i) f.Put(6 + i, logical[i], 1);
    for (std::size_t i = 0; i < physical.size() && i < 520; ++i) f.Put(262 + i, physical[i], 1);
    return PlainRecord(f.bytes(), {}, 0, 4);
}

Bytes HobtColumnRecord(std::int64_t hobtId, std::int32_t columnId, std::int16_t leafOffset, std::int16_t nullBit) {
    Fixed f(35);
    f.Put(0, static_cast<std::uint64_t>(hobtId), 8)
        .Put(8, static_cast<std::uint32_t>(columnId), 4)
        .Put(27, static_cast<std::uint16_t>(leafOffset), 2)
        .Put(33, static_cast<std::uint16_t>(nullBit), 2);
    return PlainRecord(f.bytes(), {}, 0, 8);
}

Bytes RowsetColumn2005Record(std::int64_t rowsetId, std::int32_t rowsetColumnId, std::int32_t hobtColumnId) {
    Fixed f(16);
    f.Put(0, static_cast<std::uint64_t>(rowsetId), 8)
        .Put(8, static_cast<std::uint32_t>(rowsetColumnId), 4)
        .Put(12, static_cast<std::uint32_t>(hobtColumnId), 4);
    return PlainRecord(f.bytes(), {}, 0, 3);
}

Bytes SysObjects2000Record(std::int32_t id, const std::string& name, const std::string& typeCode,
                           std::int32_t parentId) {
    Fixed f(28);
    f.Put(0, static_cast<std::uint32_t>(id), 4).Chars(4, typeCode).Put(24, static_cast<std::uint32_t>(parentId), 4);
    return PlainRecord(f.bytes(), {Utf16(name)}, 0, 20);
}

Bytes SysIndexes2000Record(std::int32_t objectId, std::int32_t firstPage, std::int16_t indexId,
                           std::int32_t firstIamPage) {
    Fixed f(68);
    f.Put(0, static_cast<std::uint32_t>(objectId), 4)
        .Put(8, static_cast<std::uint32_t>(firstPage), 4)
        .Put(14, static_cast<std::uint16_t>(indexId), 2)
        .Put(64, static_cast<std::uint32_t>(firstIamPage), 4);
    return PlainRecord(f.bytes(), {Utf16("idx")}, 0, 30);
}

Bytes SysColumns2000Record(const SysColumns2000Spec& s) {
    Fixed f(43);
    f.Put(0, static_cast<std::uint32_t>(s.objectId), 4)
        .Put(4, s.systemType, 1)
        .Put(5, s.typeStatus, 1)
        .Put(6, static_cast<std::uint16_t>(s.userType), 2)
        .Put(8, static_cast<std::uint16_t>(s.length), 2)
        .Put(12, static_cast<std::uint16_t>(s.columnId), 2)
        .Put(14, static_cast<std::uint16_t>(s.xoffset), 2)
        .Put(30, static_cast<std::uint16_t>(s.columnOrder), 2)
        .Put(32, static_cast<std::uint16_t>(s.leafOffset), 2)
        .Put(34, 53256, 4);
    return PlainRecord(f.bytes(), {Utf16(s.name)}, 0, 24);
}

CatalogFileBuilder::CatalogFileBuilder(std::uint32_t pageCount) : file_(pageCount) {}

CatalogFileBuilder& CatalogFileBuilder::Table(std::int32_t objectId, const std::vector<Bytes>& records) {
    std::size_t i = 0;
    do {
        PageBuilder page;
        page.Type(pw::kDataPage).ObjectId(objectId).ThisPage(file_.FileId(), next_);
        std::size_t used = pw::kPageHeaderSize;
        for (; i < records.size(); ++i) {
            if (used + records[i].size() + 2 * 300 > pw::kPageSize) break;  // leave room for the slot array
            page.AddRecord(records[i]);
            used += records[i].size();
        }
        file_.SetPage(next_++, page.Build());
    } while (i < records.size());
    return *this;
}

CatalogFileBuilder& CatalogFileBuilder::Page(const pw::PageImage& image) {
    file_.SetPage(next_++, image);
    return *this;
}

CatalogFileBuilder& CatalogFileBuilder::DataPages(std::int32_t pageKey, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) file_.DataPage(next_++, pageKey);
    return *this;
}

}  // namespace forge
