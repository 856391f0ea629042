#include <gtest/gtest.h>

#include <random>

#include "CatalogTestSupport.h"
#include "catalog/ColumnLabel.h"
#include "catalog/Scripts.h"
#include "catalog/SystemRowBuilders.h"

namespace {

using catalogtest::LoadedCatalog;
using catalogtest::Names;
using forge::Bytes;
using forge::CatalogFileBuilder;
using forge::ColParRecord;
using forge::SchObjRecord;

// A small SQL Server 2005+ database: table Orders (id 1000) with two columns
// and one data page, table Customers (1001) and a view.
CatalogFileBuilder Database2005() {
    CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs, {SchObjRecord(1000, "Orders", "U "), SchObjRecord(1001, "Customers", "U "),
                              SchObjRecord(1002, "OrderView", "V "), SchObjRecord(5, "sysrowsets", "S ")});
    b.Table(pw::kSysColPars, {ColParRecord(1000, 1, "id"), ColParRecord(1000, 2, "note", 231, 231, 100),
                              ColParRecord(1001, 1, "id")});
    b.Table(pw::kSysScalarTypes, catalogtest::SystemTypes());
    b.Table(pw::kSysRowsets, {forge::RowsetRecord(900, 1000, 1), forge::RowsetRecord(901, 1001, 0)});
    b.Table(pw::kSysAllocUnits, {forge::AllocUnitRecord(std::int64_t{5000} << 16, 1, 900, 80, 1),
                                 forge::AllocUnitRecord(std::int64_t{5001} << 16, 1, 901)});
    b.Table(pw::kSysRsCols, {forge::RsColRecord(900, 1, 1, 4, 1), forge::RsColRecord(900, 2, 2, 0xFFFF, 2)});
    b.DataPages(5000, 2);
    return b;
}

TEST(LoadCatalog, ReadsTheSql2005TablesInOrder) {
    LoadedCatalog db;
    CatalogFileBuilder b = Database2005();
    pw::CCatalog& catalog = db.Load(b);
    ASSERT_TRUE(db.files->IsOpened());
    EXPECT_FALSE(db.state.m_bIsSql2000);
    ASSERT_EQ(catalog.objects.size(), 4u);
    EXPECT_EQ(catalog.objects[0].name, "Orders");
    EXPECT_EQ(catalog.objects[2].typeCode, "V ");
    EXPECT_EQ(catalog.columns.size(), 3u);
    EXPECT_EQ(catalog.types.size(), catalogtest::SystemTypes().size());
    EXPECT_EQ(catalog.rowsets.size(), 2u);
    EXPECT_EQ(catalog.allocUnits.size(), 2u);
    EXPECT_EQ(catalog.rowsetColumns.size(), 2u);

    const auto columns = catalog.OpenObject("Orders", "U ");
    ASSERT_EQ(Names(columns), (std::vector<std::string>{"id", "note"}));
    EXPECT_EQ(columns[0].typeText, "int(4)");
    EXPECT_EQ(columns[1].typeText, "nvarchar(100)");
    EXPECT_EQ(columns[1].maxLength, 100);
    EXPECT_EQ(columns[0].leafOffset, 4);
    EXPECT_EQ(columns[1].leafOffset, -1);  // low 16 bits of 0xFFFF
    EXPECT_EQ(columns[1].nullBit, 2);
    EXPECT_EQ(columns[0].inRow, 1);
    EXPECT_TRUE(catalog.isTableOpen);
    ASSERT_EQ(catalog.dataPages.size(), 2u);
    EXPECT_EQ(catalog.dataPages[0].fileId, 1);
    // The in-row unit's first page is the last data page filed under its key.
    EXPECT_EQ(catalog.inRowAllocUnit.firstPage, (pw::PagePointer{catalog.dataPages[1].pageNumber, 1}));

    // A module is described by three cells: id, type, name.
    const auto view = catalog.OpenObject("OrderView", "P ");
    ASSERT_EQ(view.size(), 3u);
    EXPECT_EQ(view[0].value, "1002");
    EXPECT_EQ(view[1].value, "V ");
    EXPECT_EQ(view[2].value, "OrderView");
    EXPECT_FALSE(catalog.isTableOpen);

    EXPECT_TRUE(catalog.OpenObject("Nope", "U ").empty());
    EXPECT_EQ(catalog.currentObject.id, -1);

    catalog.ClearCatalog();
    EXPECT_TRUE(catalog.objects.empty());
    EXPECT_TRUE(catalog.columns.empty());
    EXPECT_TRUE(catalog.OpenObject("Orders", "U ").empty());
}

// No object 34 row: the catalog reads sysobjects, sysindexes and syscolumns.
CatalogFileBuilder Database2000(bool withUselessObject34) {
    CatalogFileBuilder b;
    if (withUselessObject34) {
        // Pages of object 34 whose rows yield nothing: id 0 and a short fixed part.
        forge::Fixed shortFixed(12);
        shortFixed.Put(0, 50, 4);
        b.Table(pw::kSysSchObjs, {SchObjRecord(0, "zero", "U "), forge::PlainRecord(shortFixed.bytes())});
    }
    b.Table(pw::kSysObjects2000, {forge::SysObjects2000Record(2001, "Orders", "U "),
                                  forge::SysObjects2000Record(2002, "Heap", "U "),
                                  forge::SysObjects2000Record(2003, "PK_Orders", "PK", 2001),
                                  forge::SysObjects2000Record(2004, "UQ_Orders", "UQ", 2001),
                                  forge::SysObjects2000Record(3, "syscolumns", "S ")});
    b.Table(pw::kSysIndexes2000, {forge::SysIndexes2000Record(2001, 70, 1), forge::SysIndexes2000Record(2001, 71, 1),
                                  forge::SysIndexes2000Record(2002, 72, 0), forge::SysIndexes2000Record(3, 73, 1)});
    using forge::Col2000;
    forge::SysColumns2000Spec a = Col2000(2001, 1, "a", 1);
    a.xoffset = 4;
    a.leafOffset = 4;
    forge::SysColumns2000Spec bcol = Col2000(2001, 2, "b", 0);
    bcol.systemType = 167;
    bcol.userType = 167;
    bcol.length = 20;
    bcol.xoffset = -1;
    bcol.leafOffset = -1;
    b.Table(pw::kSysRsCols, {forge::SysColumns2000Record(Col2000(2001, 3, "c", 2)), forge::SysColumns2000Record(a),
                             forge::SysColumns2000Record(bcol), forge::SysColumns2000Record(Col2000(2002, 1, "h"))});
    b.Table(pw::kSysScalarTypes, catalogtest::SystemTypes());
    b.DataPages(2001, 3);
    return b;
}

TEST(LoadCatalog, SwitchesToTheSql2000Layout) {
    for (bool withUselessObject34 : {false, true}) {
        SCOPED_TRACE(withUselessObject34 ? "object 34 yields no row" : "object 34 absent");
        LoadedCatalog db;
        db.state.m_bIsSql2000 = false;
        CatalogFileBuilder b = Database2000(withUselessObject34);
        pw::CCatalog& catalog = db.Load(b);
        EXPECT_TRUE(db.state.m_bIsSql2000);
        ASSERT_EQ(catalog.objects.size(), 5u);
        EXPECT_EQ(catalog.objects[2].typeCode, "PK");
        EXPECT_EQ(catalog.objects[2].parentId, 2001);
        // Later layouts' tables are not read.
        EXPECT_TRUE(catalog.columns.empty());
        EXPECT_TRUE(catalog.rowsetColumns.empty());

        // Only index id 1 rows, the later one winning; only ids above 100 become tables.
        ASSERT_EQ(catalog.indexes2000.count(2001), 1u);
        EXPECT_EQ(catalog.indexes2000.at(2001).firstPage, 71);
        EXPECT_EQ(catalog.indexes2000.at(2001).fileId, 1);
        EXPECT_EQ(catalog.indexes2000.count(2002), 0u);
        ASSERT_EQ(catalog.tables2000.size(), 1u);
        EXPECT_EQ(catalog.tables2000[0].name, "Orders");
        ASSERT_EQ(catalog.tables2000[0].columns.size(), 3u);
        EXPECT_EQ(catalog.tables2000[0].columns[0].name, "c");
        EXPECT_EQ(catalog.tables2000[0].columns[0].keyFlag, 2);

        const auto columns = catalog.OpenObject("Orders", "U ");
        ASSERT_EQ(Names(columns), (std::vector<std::string>{"a", "b", "c"}));
        EXPECT_EQ(columns[0].xoffset, 4);
        EXPECT_EQ(columns[0].leafOffset, 4);
        EXPECT_EQ(columns[1].typeText, "varchar(20)");
        EXPECT_EQ(columns[1].collationId, 53256);
        for (const auto& c : columns) {
            EXPECT_EQ(c.inRow, 1);
            EXPECT_EQ(c.isPrimaryKey, 0);
            EXPECT_EQ(c.ordinal, c.columnId);
        }
        EXPECT_EQ(catalog.dataPages.size(), 3u);
        // Key entries carry the table id.
        ASSERT_EQ(catalog.keyEntries.size(), 2u);
        EXPECT_EQ(catalog.keyEntries[0].id, 2001);
        EXPECT_TRUE(catalog.keyEntries[0].isPrimaryKey);
        EXPECT_TRUE(catalog.keyEntries[1].isUnique);

        // Scripts find the table list entry by the item data (the table id).
        EXPECT_EQ(pw::PrimaryKeyScript(catalog, 2001, "PK_Orders"), "ALTER TABLE Orders ADD PRIMARY KEY ( a )");
        EXPECT_EQ(pw::UniqueScript(catalog, 2001, "UQ_Orders"),
                  "ALTER TABLE[dbo].[Orders] WITH NOCHECK ADD CONSTRAINT[UQ_Orders] UNIQUE CLUSTERED \r\n(\r\n[ a , b ] "
                  "DSC\r\n)");
        EXPECT_EQ(pw::PrimaryKeyScript(catalog, 0, "PK_Orders"), "ALTER TABLE  ADD PRIMARY KEY ( )");
        EXPECT_EQ(pw::UniqueScript(catalog, 2002, "x"),
                  "ALTER TABLE[dbo].[] WITH NOCHECK ADD CONSTRAINT[x] UNIQUE CLUSTERED \r\n(\r\n[ ] DSC\r\n)");

        // A heap still opens from its object row.
        EXPECT_EQ(Names(catalog.OpenObject("Heap", "U ")), (std::vector<std::string>{"h"}));
    }
}

TEST(LoadCatalog, RepairNamesCountPerReader) {
    CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs, {forge::SchObjRecordWithoutName(1000, "U "), SchObjRecord(1001, "Named", "U "),
                              forge::SchObjRecordWithoutName(1002, "V ")});
    forge::Fixed noName(41);
    noName.Put(0, 1000, 4).Put(6, 1, 4).Put(10, 56, 1).Put(11, 56, 4).Put(15, 4, 2);
    forge::Fixed noName2 = noName;
    noName2.Put(6, 2, 4);
    b.Table(pw::kSysColPars, {forge::PlainRecord(noName.bytes()), forge::PlainRecord(noName2.bytes())});
    b.Table(pw::kSysScalarTypes, catalogtest::SystemTypes());
    LoadedCatalog db;
    pw::CCatalog& catalog = db.Load(b);
    ASSERT_EQ(catalog.objects.size(), 3u);
    EXPECT_EQ(catalog.objects[0].name, "Repairname0");
    EXPECT_EQ(catalog.objects[1].name, "Named");
    EXPECT_EQ(catalog.objects[2].name, "Repairname1");
    // The column reader starts its own count.
    EXPECT_EQ(Names(catalog.OpenObject("Repairname0", "U ")), (std::vector<std::string>{"RepairColumn0", "RepairColumn1"}));
}

// Damage that must leave a usable catalog.
TEST(LoadCatalog, GarbagePageMissingTablesAndUnreadableNames) {
    CatalogFileBuilder b;
    // A page of object 34 full of garbage, before the good one.
    std::mt19937 random(1234);
    pw::PageImage garbage(pw::kPageSize);
    for (auto& byte : garbage) byte = static_cast<std::uint8_t>(random());
    forge::PutLE(garbage, 1, pw::kDataPage, 1);
    forge::PutLE(garbage, 2, 0, 2);  // no compression, no torn bits
    forge::PutLE(garbage, 4, 0, 2);
    forge::PutLE(garbage, 24, pw::kSysSchObjs, 4);
    forge::PutLE(garbage, 32, b.NextPosition(), 4);
    forge::PutLE(garbage, 36, 1, 2);
    forge::PutLE(garbage, 22, 300, 2);  // 300 slots pointing anywhere
    b.Page(garbage);
    // The object's name column holds one byte (no UTF-16 character) and
    // another one an unpaired surrogate.
    forge::Fixed f(40);
    f.Put(0, 1000, 4).Chars(13, "U ");
    forge::Fixed g(40);
    g.Put(0, 1001, 4).Chars(13, "U ");
    b.Table(pw::kSysSchObjs, {forge::PlainRecord(f.bytes(), {Bytes{0x41}}), forge::PlainRecord(g.bytes(), {Bytes{0x00, 0xD8}})});
    b.Table(pw::kSysColPars, {ColParRecord(1000, 1, "id"), ColParRecord(1001, 1, "x")});
    b.Table(pw::kSysScalarTypes, catalogtest::SystemTypes());
    // No pages at all for sysrowsets, sysallocunits, sysrscols, sysidxstats, sysiscols, ...
    LoadedCatalog db;
    pw::CCatalog& catalog = db.Load(b);
    EXPECT_FALSE(db.state.m_bIsSql2000);

    const pw::ObjectRow* repaired = nullptr;
    for (const auto& row : catalog.objects)
        if (row.id == 1000) repaired = &row;
    ASSERT_NE(repaired, nullptr);
    EXPECT_EQ(repaired->name.rfind("Repairname", 0), 0u);
    const auto columns = catalog.OpenObject(repaired->name, "U ");
    ASSERT_EQ(Names(columns), (std::vector<std::string>{"id"}));
    EXPECT_EQ(columns[0].typeText, "int(4)");
    EXPECT_EQ(columns[0].inRow, 1);  // no rowset columns: every column in the row
    EXPECT_TRUE(catalog.dataPages.empty());
    // The surrogate became a replacement character: a name that can still be opened.
    const pw::ObjectRow* odd = nullptr;
    for (const auto& row : catalog.objects)
        if (row.id == 1001) odd = &row;
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(Names(catalog.OpenObject(odd->name, "U ")), (std::vector<std::string>{"x"}));
}

TEST(LoadCatalog, FileListFindsListedSecondaryFiles) {
    CatalogFileBuilder b = Database2005();
    b.Table(pw::kSysFiles1, {forge::SysFilesRecord(1, "db", "C:\\data\\db.mdf"),
                             forge::SysFilesRecord(2, "db_log", "C:\\data\\db_log.ldf"),
                             forge::SysFilesRecord(3, "db2", "C:\\data\\second.ndf")});
    LoadedCatalog db;
    // The secondary file holds one more data page of Orders (file id 3).
    forge::DataFileBuilder second(16, 3);
    second.DataPage(12, 5000);
    forge::WriteFile(db.folder.File("second.ndf"), second.Bytes());
    pw::CCatalog& catalog = db.Load(b);
    ASSERT_EQ(catalog.files.size(), 3u);
    EXPECT_EQ(catalog.files[2].physicalName, "C:\\data\\second.ndf");
    EXPECT_EQ(db.files->SecondaryFiles().count(3), 1u);
    catalog.OpenObject("Orders", "U ");
    ASSERT_EQ(catalog.dataPages.size(), 3u);
    EXPECT_EQ(catalog.dataPages[2], (pw::DataPageAddress{3, 12}));
}

TEST(LoadCatalog, StopRequestKeepsWhatWasRead) {
    CatalogFileBuilder b = Database2005();
    LoadedCatalog db;
    db.state.m_bStopRequested = true;
    pw::CCatalog& catalog = db.Load(b);
    EXPECT_TRUE(catalog.files.empty());
    EXPECT_TRUE(catalog.columns.empty());
}

}  // namespace
